#pragma once

#include <QList>
#include <QString>
#include <optional>

struct MeasureRecord;

// The number rules of the main window as plain functions of the record count n of the
// file and the current index (No. - 1).
namespace RecordNumbering {

// What a record of the set holds, as the day's progress counts it.
enum class RecordState {
    Blank,     // nothing at all
    Named,     // a name, no value
    Partial,   // a height without a weight, or a weight without a height
    Measured,  // a whole person (or a sitting height)
};
RecordState StateOf(const MeasureRecord& record);

// The index shown after "previous": one down, from No. 1 the last record (never below 1).
int PreviousIndex(int currentIndex, int recordCount);
// The index shown after "next": one up, from the last record or No. 1500 back to No. 1.
int NextIndex(int currentIndex, int recordCount);
// The file record a new blank record is appended as: directly after the last record, and
// never in the header records of a file that has fewer than three.
int NewRecordPosition(int recordCount);
// Whether a new number may still be created.
bool CanCreateNew(int recordCount);
// Where a day carries on, given the records No. 1, 2, ...: the first record holding only part
// of a person; otherwise the first record without a value after the last one that holds one
// (the size of the list, a new number, when that is the last record).
int NextUnmeasuredIndex(const QList<RecordState>& states);
// How many records the day counts: up to the last one that holds a name or a value.
int PeopleCount(const QList<RecordState>& states);
// The whole number typed in the number box, when it names a No. 1-1500.
std::optional<int> TypedNumber(const QString& text);

}  // namespace RecordNumbering
