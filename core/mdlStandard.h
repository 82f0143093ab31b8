#pragma once

#include <QString>
#include <QStringView>

// Body indices and the number rules of displayed values.

double BmiStdWeightOf(double heightCm);
double HibiStdWeightOf(double heightCm, bool isMale);
// A stored whole number shows with ".0": "170" -> "170.0"; "170.5", "" unchanged.
void EnsureDecimal(QString& text);

// The numeric reading of a field: the leading number (spaces ignored), else 0.
double NumericValue(QStringView text);
// BMI rounded as the meter's software always did: hundredths to even, then tenths half up.
double RoundBmi(double rawBmi);
// Shortest decimal text of a value: 20.8, 22.
QString ShortestText(double value);
// "0.00" formatting.
QString TwoDecimals(double value);

// The texts the weight step derives from the height and weight texts; empty when not
// computed.
struct WeightIndices {
    QString Bmi;
    QString BmiStdWeight;
    QString HibiStdWeightMale;
    QString HibiStdWeightFemale;
    QString HibiObesityMale;
    QString HibiObesityFemale;
    bool operator==(const WeightIndices&) const = default;
};
WeightIndices ComputeWeightIndices(QStringView heightText, QStringView weightText);

// The weight step: stores the weight and the indices in CurrentValues and copies them to
// RecordBuffer. Returns the line to print ("体重60.0kg"), empty when the weight is blank.
// The caller shows the BMI label from CurrentValues.Bmi. Without `deriveIndices` only the
// weight is stored: for a weight whose indices the next weight replaces unseen.
QString ProcessWeight(QStringView value, bool deriveIndices = true);
