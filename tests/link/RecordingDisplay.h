#pragma once

#include <QList>
#include <QStringList>

#include "LiveDisplay.h"

// Records what frame decoding shows on the main window.
class RecordingDisplay : public LiveDisplay {
public:
    void PrintLine(const QString& line) override {
        Lines << line;
        Events << QStringLiteral("print:") + line;
    }
    void ClearPrint() override {
        Lines.clear();
        ++Clears;
        Events << QStringLiteral("clear");
    }
    void ShowBmiResult(const QString& text) override { BmiLabel = text; }
    void RefreshDisplay() override {
        ++Refreshes;
        Events << QStringLiteral("refresh");
    }
    void ArmAutoWrite(int ms, bool afterValue) override {
        Arms << ms;
        ArmsAfterValue << afterValue;
    }
    void ShowLinkStatus(const QString& text, const QString& toolTip) override {
        LinkStatus = text + u'|' + toolTip;
    }
    void ShowLinkNotice(const QString& text) override { Notices << text; }
    bool ReadyForFrames() const override { return Ready; }
    bool ValueArriving(MeasuredQuantity, const QString& value) override {
        Arriving << value;
        return TakesValues;
    }
    void LinkBack() override { ++LinkBacks; }

    QStringList Lines;   // what picDisp shows now
    QStringList Events;  // prints, clears and refreshes in order
    QString BmiLabel = QStringLiteral("(untouched)");
    QString LinkStatus;  // the status bar's link text | its tool tip
    int Clears = 0;
    int Refreshes = 0;
    QList<int> Arms;
    QList<bool> ArmsAfterValue;
    QStringList Notices;      // the link's events, in order
    bool Ready = true;        // frames may be decoded
    bool TakesValues = true;  // values may be stored
    QStringList Arriving;     // the values offered, in order
    int LinkBacks = 0;
};
