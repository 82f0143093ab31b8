#include "RecordNumbering.h"

#include <algorithm>
#include <cmath>

#include "G_Const.h"
#include "MeasureRecord.h"
#include "mdlStandard.h"

namespace RecordNumbering {

int PreviousIndex(int currentIndex, int recordCount) {
    if (currentIndex != 0) return currentIndex - 1;
    // A file of more than 1502 records (written by another program) still wraps to No. 1500.
    return std::clamp(recordCount - 3, 0, G_Const::MaxNumber - 1);
}

int NextIndex(int currentIndex, int recordCount) {
    if (currentIndex + 1 >= G_Const::MaxNumber) return 0;
    if (recordCount == currentIndex + 3) return 0;
    return currentIndex + 1;
}

int NewRecordPosition(int recordCount) {
    return std::max(recordCount + 1, G_Const::HeaderRecords + 1);
}

bool CanCreateNew(int recordCount) {
    return recordCount - 2 < G_Const::MaxNumber;
}

std::optional<int> TypedNumber(const QString& text) {
    const double value = std::nearbyint(NumericValue(text));
    if (value < 1 || value > G_Const::MaxNumber) return std::nullopt;
    return int(value);
}

RecordState StateOf(const MeasureRecord& record) {
    const MeasureValues& v = record.Values;
    if (v.Height.IsBlank() != v.Weight.IsBlank()) return RecordState::Partial;
    if (v.AnyMeasured()) return RecordState::Measured;
    const bool named =
        !record.SubLabel1.IsBlank() || !record.SubLabel2.IsBlank() || !record.SubLabel3.IsBlank();
    return named ? RecordState::Named : RecordState::Blank;
}

int NextUnmeasuredIndex(const QList<RecordState>& states) {
    // Half a person is finished before the day goes on.
    if (const auto partial = states.indexOf(RecordState::Partial); partial >= 0)
        return int(partial);
    return int(states.lastIndexOf(RecordState::Measured) + 1);
}

int PeopleCount(const QList<RecordState>& states) {
    for (auto i = states.size(); i > 0; --i)
        if (states[i - 1] != RecordState::Blank) return int(i);
    return 0;
}

}  // namespace RecordNumbering
