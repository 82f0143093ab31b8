#include "mdlMainDisp.h"

#include <algorithm>

#include "AutoWriteDelay.h"
#include "Dialogs.h"
#include "FixedText.h"
#include "FrameAssembler.h"
#include "G_Param.h"
#include "LiveDisplay.h"
#include "ReadingCheck.h"
#include "mdlStandard.h"

namespace {

const QString kScaleStatePrefix = QStringLiteral("現在の体重計の状態は、");

bool LastCommandIs(const char16_t (&code)[3]) {
    return IsCode(G_Param.LastCommand, code);
}

void Inform(Dialogs& dialogs, const QString& text) {
    dialogs.Message(text, MsgIcon::Information);
}

// Automatic writing starts after a value, except for the answers to the scale-status
// request, which carry no new measurement for the record.
void Arm(LiveDisplay& display, bool afterValue) {
    if (!LastCommandIs(u"%W") && G_Param.AutoWriteOn == 1)
        display.ArmAutoWrite(AutoWriteDelay::IntervalMs(G_Param.AutoWriteDelay), afterValue);
}

// Stores a height or sitting height and prints it; a blank value is stored but not printed.
void StoreLength(Text10& current, Text10& record, QStringView value, QStringView prefix,
                 LiveDisplay& display) {
    current = value;
    record = current;
    if (!current.IsBlank())
        display.PrintLine(Concatenated(prefix, WithoutTrailingSpaces(current.Value()), u"cm"));
}

void ClearValue(Text10& current, Text10& record, const QString& line, LiveDisplay& display) {
    record = QString();
    current = QString();
    display.PrintLine(line);
}

void WeightStep(QStringView value, LiveDisplay& display, bool deriveIndices) {
    const QString line = ProcessWeight(value, deriveIndices);
    if (!line.isEmpty()) display.PrintLine(line);
    if (!deriveIndices) return;
    const Text10& bmi = G_Param.CurrentValues.Bmi;
    display.ShowBmiResult(bmi.IsBlank() ? QStringLiteral("--") : bmi.Trimmed());
}

// An impossible reading is stored and written all the same; the nurse is asked to look again,
// on the received-data box and in the status bar.
void WarnIfImplausible(const QString& warning, LiveDisplay& display) {
    if (warning.isEmpty()) return;
    display.PrintLine(warning);
    display.ShowLinkStatus(warning, {});
}

// What decoding a frame does with the weight step's derived values.
enum class FrameKind {
    Weight,  // replaces them all
    Length,  // neither reads nor shows them
    Other,   // may show them, or lets the user act (a message box)
};

FrameKind KindOf(QStringView code, QStringView lastCommand) {
    if (IsCode(lastCommand, u"MS")) return FrameKind::Other;
    if (IsCode(code, u"TZ")) return FrameKind::Weight;
    if (IsCode(code, u"SY") || IsCode(code, u"ZK")) return FrameKind::Length;
    return FrameKind::Other;
}

// C0, DEL and C1: the control characters a line can carry.
bool IsControl(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
}

// A short or damaged frame carries its ETX, NULs or line noise in the value: they would be
// stored in the record, the CSV and the display. Each becomes a space; a clean value (nearly
// every one) is used as it is, without a copy.
QStringView Printable(QStringView data, QString& cleaned) {
    if (std::none_of(data.begin(), data.end(), IsControl)) return data;
    cleaned = data.toString();
    std::replace_if(cleaned.begin(), cleaned.end(), IsControl, QChar(u' '));
    return cleaned;
}

}  // namespace

std::vector<bool> WeightIndicesNeeded(const FinishedFrames& frames, QStringView lastCommand) {
    std::vector<bool> needed(size_t(frames.size()), true);
    bool replacedLater = false;
    for (qsizetype i = frames.size() - 1; i >= 0; --i) {
        switch (KindOf(ResponseCodeOf(frames[i]), lastCommand)) {
            case FrameKind::Weight:
                needed[size_t(i)] = !replacedLater;
                replacedLater = true;
                break;
            case FrameKind::Length:
                break;
            case FrameKind::Other:
                replacedLater = false;
                break;
        }
    }
    return needed;
}

bool DecodeFrame(QStringView responseCode, QStringView rawData, LiveDisplay& display,
                 Dialogs& dialogs, bool deriveIndices) {
    QString cleaned;
    const QStringView responseData = Printable(rawData, cleaned);
    MeasureValues& current = G_Param.CurrentValues;
    MeasureValues& record = G_Param.RecordBuffer.Values;
    const QStringView code = responseCode;
    const auto arriving = [&](MeasuredQuantity kind) {
        return display.ValueArriving(kind, responseData.trimmed().toString());
    };

    if (IsCode(code, u"ST")) {
        Inform(dialogs, QStringLiteral("身長・体重計、共に動作しています"));
        display.RefreshDisplay();
    } else if (IsCode(code, u"SY")) {
        if (LastCommandIs(u"MS")) {
            Inform(dialogs, QStringLiteral("身長計のみ動作しています"));
            display.RefreshDisplay();
        } else {
            if (!arriving(MeasuredQuantity::Height)) return false;
            StoreLength(current.Height, record.Height, responseData, u"身長", display);
            display.ValueStored(MeasuredQuantity::Height);
            WarnIfImplausible(ReadingCheck::HeightWarning(responseData), display);
            Arm(display, true);
        }
    } else if (IsCode(code, u"SE")) {
        ClearValue(current.Height, record.Height, QStringLiteral("身長エラー"), display);
    } else if (IsCode(code, u"ZK")) {
        if (LastCommandIs(u"MS")) {
            Inform(dialogs, QStringLiteral("座高計として動作しています"));
            display.RefreshDisplay();
        } else {
            if (!arriving(MeasuredQuantity::SittingHeight)) return false;
            StoreLength(current.SittingHeight, record.SittingHeight, responseData, u"座高",
                        display);
            display.ValueStored(MeasuredQuantity::SittingHeight);
            Arm(display, true);
        }
    } else if (IsCode(code, u"ZE")) {
        ClearValue(current.SittingHeight, record.SittingHeight, QStringLiteral("座高エラー"),
                   display);
    } else if (IsCode(code, u"TZ")) {
        if (LastCommandIs(u"MS")) {
            Inform(dialogs, QStringLiteral("体重計のみ動作しています"));
            display.RefreshDisplay();
        } else {
            if (!arriving(MeasuredQuantity::Weight)) return false;
            WeightStep(responseData, display, deriveIndices);
            display.ValueStored(MeasuredQuantity::Weight);
            WarnIfImplausible(ReadingCheck::WeightWarning(responseData), display);
            Arm(display, true);
        }
    } else if (IsCode(code, u"TE")) {
        ClearValue(current.Weight, record.Weight, QStringLiteral("体重エラー"), display);
    } else if (IsCode(code, u"TR")) {
        Inform(dialogs, QStringLiteral("現在の風袋引き設定は、") + responseData.toString() +
                            QStringLiteral("kgです"));
        display.RefreshDisplay();
    } else if (IsCode(code, u"TL") || IsCode(code, u"TH")) {
        if (!arriving(MeasuredQuantity::Weight)) return false;
        WeightStep(responseData, display, true);
        // Told before the box: a write that fires while the box is open takes this value,
        // and the arming after the box must not write the next number blank.
        display.ValueStored(MeasuredQuantity::Weight);
        Inform(dialogs,
               kScaleStatePrefix + (IsCode(code, u"TL") ? QStringLiteral("10kg未満で安定です")
                                                        : QStringLiteral("10kg以上で安定です")));
        if (LastCommandIs(u"%W")) {
            display.RefreshDisplay();
        } else {
            Arm(display, true);
        }
    } else if (IsCode(code, u"UL") || IsCode(code, u"OV") || IsCode(code, u"HD")) {
        const QString state = IsCode(code, u"UL") ? QStringLiteral("不安定な状態です")
                              : IsCode(code, u"OV") ? QStringLiteral("測定範囲をオーバーしています")
                                                    : QStringLiteral("ホールド中です");
        Inform(dialogs, kScaleStatePrefix + state);
        display.RefreshDisplay();
        Arm(display, false);
    } else if (IsCode(code, u"ER")) {
        Inform(dialogs, LastCommandIs(u"%W") ? kScaleStatePrefix + QStringLiteral("未動作です")
                                             : QStringLiteral("未動作です"));
        display.RefreshDisplay();
    } else if (LastCommandIs(u"%V")) {
        Inform(dialogs, QStringLiteral("この身長体重計のROMバージョンは「") +
                            responseData.trimmed().toString() + QStringLiteral("」です"));
        display.RefreshDisplay();
    } else {
        display.RefreshDisplay();
    }
    return true;
}
