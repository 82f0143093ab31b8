#pragma once

#include <QString>

#include "MeasureRecord.h"

// The texts the record display shows, as plain functions of the stored values.
namespace mdlDataLoadFunc {

// "title - Hakaron ver.1.30" with the automatic-writing mark when it is on.
QString WindowTitle(const QString& trimmedTitle, bool autoWriteOn);
// A blank caption shows as "項目1", "項目2", "項目3".
QString SubLabelCaption(const QString& caption, int number);

// The four value labels and the BMI result of a loaded record (values already passed
// through EnsureDecimal).
struct ValueLabels {
    QString Height;
    QString Weight;
    QString SittingHeight;
    QString FatRatio;
    QString BmiResult;
    bool AnyValue = false;  // height, weight, sitting height or BMI present
};
ValueLabels BuildValueLabels(const MeasureValues& values);

}  // namespace mdlDataLoadFunc
