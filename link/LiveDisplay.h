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
    // A value frame stored `quantity` for the number on display (before anything it shows).
    virtual void ValueStored(MeasuredQuantity /*quantity*/) {}
    // The link's news in the status bar: when the last frame came ("最終受信 10:42:05") or
    // that a request went unanswered; `toolTip` says more (empty: none).
    virtual void ShowLinkStatus(const QString& text, const QString& toolTip) = 0;
};
