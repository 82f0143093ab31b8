#include "RecordNumbering.h"

#include <algorithm>
#include <cmath>

#include "G_Const.h"
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

int NextUnmeasuredIndex(const QList<bool>& measured) {
    return int(measured.lastIndexOf(true) + 1);
}

}  // namespace RecordNumbering
