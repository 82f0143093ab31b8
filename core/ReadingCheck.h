#pragma once

#include <QString>
#include <QStringView>

// Readings no person measured on the meter can have (adults are measured too, so the ranges
// are wide): a height outside 50-220 cm, a weight outside 5-250 kg. The reading is kept as it
// came; the nurse is only told to look again.
namespace ReadingCheck {

// "測定値を確認してください（身長 1540 cm）" for an impossible height, empty for a plausible
// one or a value that is no number (that is shown as it came).
QString HeightWarning(QStringView value);
// The same for a weight ("（体重 449 kg）").
QString WeightWarning(QStringView value);

}  // namespace ReadingCheck
