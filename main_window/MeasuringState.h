#pragma once

#include <QList>
#include <QString>
#include <array>

#include "LiveDisplay.h"
#include "MeasureRecord.h"
#include "RecordNumbering.h"

// The number being measured: what the display loaded for it, the readings that arrived since
// (with their ids in the day's reading journal), and what automatic writing waits for. Plain
// state; the main window feeds it and asks it.
class MeasuringState {
public:
    using Names = std::array<QString, 3>;

    // One reading the meter sent for the number on display.
    struct Reading {
        MeasuredQuantity Kind = MeasuredQuantity::Height;
        QString Value;  // as sent, "137.0"
        int Id = 0;     // in the reading journal
    };

    // What a reading that arrives does to those already on display.
    enum class Arrival {
        Store,               // it is the first of its kind for the person on display
        WritePreviousFirst,  // another person's: the pending write of this one goes first
        ReplacePerson,       // another person's: this one's unwritten readings give way
        ReplaceSame,         // the same person measured again: the older reading gives way
    };

    // The display loaded the number afresh from the record file (values after EnsureDecimal,
    // names trimmed); whatever arrived for the number before is forgotten.
    void Loaded(const MeasureValues& values, const Names& names);
    // Values received or names typed that differ from what was loaded and are not written.
    bool IsUnsaved(const MeasureValues& values, const Names& names) const;
    // The values the display loaded for the number.
    const MeasureValues& LoadedValues() const { return m_loadedValues; }
    // Values as the display shows them: a stored 170 is 170.0.
    static MeasureValues AsShown(MeasureValues values);

    // A height or sitting height after a person's length and weight starts another person.
    Arrival OnArrival(MeasuredQuantity kind, bool writePending) const;
    // The readings on display that `arrival` of `kind` replaces.
    QList<Reading> ReplacedBy(Arrival arrival, MeasuredQuantity kind) const;
    // Takes a reading for the number on display, after those it replaces are dropped.
    void Take(const Reading& reading);
    void Drop(const QList<Reading>& readings);
    // `values` with `value` of `kind` in its place and the indices derived again.
    static MeasureValues WithReading(MeasureValues values, MeasuredQuantity kind,
                                     const QString& value);
    // Another person starts on the number: what arrived for the one before no longer counts.
    void StartOver();
    // The readings on display not written yet, oldest first.
    const QList<Reading>& Readings() const { return m_readings; }
    static QList<int> Ids(const QList<Reading>& readings);

    // A value frame stored a value for the current number.
    void ValueArrived(MeasuredQuantity quantity);
    // Whether a value frame arrived since the number was loaded. A write or a number change
    // reloads, so a frame decoded before them no longer counts after them.
    bool HasNewValue() const { return m_anyValue; }
    // Both a height and a weight arrived since the number was loaded.
    bool WholePersonArrived() const { return m_height && m_weight; }
    // What a whole person still lacks: "身長", "体重" or "身長と体重".
    QString Missing() const;

    // The names of a record, trimmed.
    static Names NamesOf(const MeasureRecord& record);
    // "No.5 青木 さくら": the number and its first name that is not blank.
    static QString Who(int number, const Names& names);
    // "No.5 青木 さくら に 2 秒後に書き込みます"
    static QString CountdownText(const QString& who, int secondsLeft);
    // "No.5 青木 さくら は体重待ち（そろうと自動で書き込みます）"
    static QString WaitingText(const QString& who, const QString& missing);
    // "測定済み 23 / 40 名（一部のみ 2）　次の未測定: No.24"
    static QString ProgressText(const QList<RecordNumbering::RecordState>& states);
    // "137.0 cm / 30.0 kg": the readings, or the values, in the order height, sitting height,
    // weight.
    static QString ValuesText(const QList<Reading>& readings);
    static QString ValuesText(const MeasureValues& values);
    // "前の測定値（137.0 cm / 30.0 kg）は書き込まれていません（受信履歴にあります）"
    static QString NotWrittenText(const QList<Reading>& readings);
    // "No.1 青木 さくら には測定値があります（138.2 cm / 31.5 kg）。上書きしますか？"
    static QString AskOverwrite(const QString& who, const MeasureValues& stored);
    // "No.3 上野 陽菜 の測定値が保存されていません。保存しますか？"
    static QString AskSaveUnsaved(const QString& who);
    static QString TypingText() { return QStringLiteral("入力中のため書き込みを待っています"); }

private:
    bool Has(MeasuredQuantity kind) const;

    MeasureValues m_loadedValues;
    Names m_loadedNames;
    QList<Reading> m_readings;
    bool m_height = false;
    bool m_weight = false;
    bool m_anyValue = false;
};
