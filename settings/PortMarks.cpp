#include "PortMarks.h"

#include <cmath>
#include <optional>

namespace PortMarks {

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A text that reads as a number as a whole (surrounding spaces allowed), cut to its
// whole-number part.
std::optional<int> WholeNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return static_cast<int>(std::trunc(value));
}

}  // namespace

int PortNumberInName(const QString& name) {
    const qsizetype at = name.lastIndexOf(QStringLiteral("COM"));
    if (at < 0) return 0;
    const QString after = name.mid(at + 3, 2);
    if (const auto number = WholeNumber(after)) return *number;
    if (!after.isEmpty() && IsAsciiDigit(after.front())) return after.front().digitValue();
    return 0;
}

PortMarkList MarkPorts(const QList<SerialDeviceInfo>& devices) {
    PortMarkList marks;
    for (const SerialDeviceInfo& device : devices) {
        if (device.DeviceId.left(3) == QStringLiteral("PCI")) continue;
        const int port = PortNumberInName(device.Name);
        if (port < 1 || port > PortCount) continue;
        PortMark& mark = marks[static_cast<size_t>(port - 1)];
        mark.Present = true;
        if (!device.Path.isEmpty()) mark.Path = device.Path;
    }
    return marks;
}

QString PortEntryText(int port, bool present) {
    return QStringLiteral("Com") + QString::number(port) +
           (present ? QStringLiteral(" 有効") : QStringLiteral(" --"));
}

QStringList PortEntryTexts(const PortMarkList& marks) {
    QStringList texts;
    for (int k = 1; k <= PortCount; ++k)
        texts << PortEntryText(k, marks[static_cast<size_t>(k - 1)].Present);
    return texts;
}

}  // namespace PortMarks
