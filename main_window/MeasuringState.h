#pragma once

#include <QList>
#include <QString>
#include <array>

#include "LiveDisplay.h"
#include "MeasureRecord.h"

// The number being measured: what the display loaded for it, the values that arrived since,
// and what automatic writing waits for. Plain state; the main window feeds it and asks it.
class MeasuringState {
public:
    using Names = std::array<QString, 3>;

    // The display loaded the number afresh from the record file (values after EnsureDecimal,
    // names trimmed); whatever arrived for the number before is forgotten.
    void Loaded(const MeasureValues& values, const Names& names);
    // Values received or names typed that differ from what was loaded and are not written.
    bool IsUnsaved(const MeasureValues& values, const Names& names) const;

    // A value frame stored a value for the current number.
    void ValueArrived(MeasuredQuantity quantity);
    // Whether a value frame arrived since the number was loaded. A write or a number change
    // reloads, so a frame decoded before them no longer counts after them.
    bool HasNewValue() const { return m_anyValue; }
    // Both a height and a weight arrived since the number was loaded.
    bool WholePersonArrived() const { return m_height && m_weight; }
    // What a whole person still lacks: "身長", "体重" or "身長と体重".
    QString Missing() const;

    // "No.5 青木 さくら": the number and its first name that is not blank.
    static QString Who(int number, const Names& names);
    // "No.5 青木 さくら に 2 秒後に書き込みます"
    static QString CountdownText(const QString& who, int secondsLeft);
    // "No.5 青木 さくら は体重を待っています（そろうと自動で書き込みます）"
    static QString WaitingText(const QString& who, const QString& missing);
    // "測定済み 23 / 40 名　次の未測定: No.24"
    static QString ProgressText(const QList<bool>& measured);

private:
    MeasureValues m_loadedValues;
    Names m_loadedNames;
    bool m_height = false;
    bool m_weight = false;
    bool m_anyValue = false;
};
