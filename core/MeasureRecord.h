#pragma once

#include <QByteArray>

#include "FixedText.h"

// The nine measurement values, in record order (fields 4-12).
struct MeasureValues {
    Text10 SittingHeight;
    Text10 Height;
    Text10 Bmi;
    Text10 Weight;
    Text10 BmiStdWeight;
    Text10 HibiStdWeightMale;
    Text10 HibiStdWeightFemale;
    Text10 HibiObesityMale;
    Text10 HibiObesityFemale;
    bool operator==(const MeasureValues&) const = default;
    // Whether any of the nine values is other than blank.
    bool AnyMeasured() const;
};

// One 150-byte record of the record file: three 20-byte texts and nine 10-byte texts.
struct MeasureRecord {
    Text20 SubLabel1;
    Text20 SubLabel2;
    Text20 SubLabel3;
    MeasureValues Values;
    bool operator==(const MeasureRecord&) const = default;

    // Exactly 150 bytes of CP932, each field cut before a split character and space-padded.
    QByteArray Encode() const;
    // Reads up to 150 bytes; missing bytes read as spaces, undecodable ones never fail.
    static MeasureRecord Decode(const QByteArray& bytes);
};
