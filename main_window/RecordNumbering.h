#pragma once

#include <QList>
#include <QString>
#include <optional>

// The number rules of the main window as plain functions of the record count n of the
// file and the current index (No. - 1).
namespace RecordNumbering {

// The index shown after "previous": one down, from No. 1 the last record (never below 1).
int PreviousIndex(int currentIndex, int recordCount);
// The index shown after "next": one up, from the last record or No. 1500 back to No. 1.
int NextIndex(int currentIndex, int recordCount);
// The file record a new blank record is appended as: directly after the last record, and
// never in the header records of a file that has fewer than three.
int NewRecordPosition(int recordCount);
// Whether a new number may still be created.
bool CanCreateNew(int recordCount);
// Where a day carries on, given which records (No. 1, 2, ...) hold a measured value: the first
// record without one after the last record that holds one; the size of the list (a new
// number) when that is the last record.
int NextUnmeasuredIndex(const QList<bool>& measured);
// The whole number typed in the number box, when it names a No. 1-1500.
std::optional<int> TypedNumber(const QString& text);

}  // namespace RecordNumbering
