#include "Commands.h"

#include <array>

#include "FrameAssembler.h"

std::span<const MeterCommand> CommandTable() {
    static const std::array<MeterCommand, 9> table{{
        {0, QStringLiteral("身長データを要求する(&Q)"), QStringLiteral("身長"),
         QStringLiteral("Ctrl+Q"), QStringLiteral("SY")},
        {1, QStringLiteral("座高データを要求する(&Z)"), QStringLiteral("座高"),
         QStringLiteral("Ctrl+Z"), QStringLiteral("ZK")},
        {2, QStringLiteral("体重データを要求する(&T)"), QStringLiteral("体重"),
         QStringLiteral("Ctrl+T"), QStringLiteral("TZ")},
        {3, QStringLiteral("身長＆体重データを要求する(&A)"), QStringLiteral("身長＆体重"),
         QStringLiteral("Ctrl+A"), QStringLiteral("ST")},
        {4, QStringLiteral("風袋引きデータを要求する(&H)"), QStringLiteral("風袋引き"), QString(),
         QStringLiteral("TR")},
        {5, QStringLiteral("体重計の状態を要求する(&M)"), QString(), QString(),
         QStringLiteral("%W")},
        {6, QStringLiteral("体重値＆状態を要求する(&O)"), QString(), QString(),
         QStringLiteral("WT")},
        {7, QStringLiteral("身長体重計の状態を要求する(&P)"), QString(), QString(),
         QStringLiteral("MS")},
        {8, QStringLiteral("身長体重計のROMバージョンを要求する(&V)"), QString(), QString(),
         QStringLiteral("%V")},
    }};
    return table;
}

QByteArray CommandFrame(const QString& code) {
    QByteArray frame;
    frame.append(char(FrameChars::Stx));
    frame.append(code.toLatin1());
    frame.append(char(FrameChars::Etx));
    return frame;
}
