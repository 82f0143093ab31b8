#pragma once

#include <QString>

// The measured values a frame can carry.
enum class MeasuredQuantity { Height, SittingHeight, Weight };

// What frame decoding shows on the main window.
class LiveDisplay {
public:
    virtual ~LiveDisplay() = default;
    // One line on the received-data box (picDisp), below the previous one.
    virtual void PrintLine(const QString& line) = 0;
    // Empties the received-data box.
    virtual void ClearPrint() = 0;
    // The BMI result label (lblBmiRes).
    virtual void ShowBmiResult(const QString& text) = 0;
    // Reloads the record display from the record file.
    virtual void RefreshDisplay() = 0;
    // (Re)starts automatic writing: it fires once, `ms` after the last arming. `afterValue`
    // tells whether the frame carried a measured value; status frames alone write nothing.
    virtual void ArmAutoWrite(int ms, bool afterValue) = 0;
    // A value frame is about to store `value` (as sent, trimmed) of `quantity` for the number on
    // display. False: not now; the frame and those after it wait for MeterLink::DecodeWaiting.
    virtual bool ValueArriving(MeasuredQuantity /*quantity*/, const QString& /*value*/) {
        return true;
    }
    // A value frame stored `quantity` for the number on display (before anything it shows).
    virtual void ValueStored(MeasuredQuantity /*quantity*/) {}
    // Whether frames may be decoded now; while not, they wait in order for DecodeWaiting.
    virtual bool ReadyForFrames() const { return true; }
    // A link event the user must know of (a vanished meter, a line error), shown without
    // stopping anything; the text already shown is not shown again.
    virtual void ShowLinkNotice(const QString& text) = 0;
    // The link is back: its notice goes.
    virtual void LinkBack() = 0;
    // The link's news in the status bar: when the last frame came ("最終受信 10:42:05") or
    // that a request went unanswered; `toolTip` says more (empty: none).
    virtual void ShowLinkStatus(const QString& text, const QString& toolTip) = 0;
};
