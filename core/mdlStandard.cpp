#include "mdlStandard.h"

#include <QLocale>
#include <cmath>

#include "G_Param.h"

double BmiStdWeightOf(double h) {
    return 22.0 * (h / 100.0) * (h / 100.0);
}

double HibiStdWeightOf(double h, bool isMale) {
    if (isMale) return 0.0000641424 * h * h * h - 0.0182083 * h * h + 2.01339 * h - 67.9488;
    return 0.0000312278 * h * h * h - 0.00517476 * h * h + 0.34215 * h + 1.66406;
}

void EnsureDecimal(QString& text) {
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty() && !trimmed.contains(u'.')) text = trimmed + QStringLiteral(".0");
}

double NumericValue(const QString& text) {
    QString s;
    for (QChar c : text)
        if (c != u' ' && c != u'\t') s += c;
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && s[i] >= u'0' && s[i] <= u'9') ++i;
        return i - start;
    };
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
    qsizetype mantissa = digits();
    if (i < n && s[i] == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0.0;
    qsizetype end = i;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
        if (digits() > 0) end = i;
    }
    bool ok = false;
    const double v = s.left(end).toDouble(&ok);
    return ok ? v : 0.0;
}

double RoundBmi(double rawBmi) {
    const double hundredths = std::nearbyint(rawBmi * 100.0);  // ties to even
    return std::floor(hundredths / 10.0 + 0.5) / 10.0;         // ties up
}

QString ShortestText(double value) {
    // Plain decimal digits, never an exponent: a stored field is read back as a number.
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString TwoDecimals(double value) {
    // Round the decimal text, not the binary value, so that 63.575 shows as 63.58.
    const QString text = QString::number(std::fabs(value), 'f', 10);
    const qsizetype dot = text.indexOf(u'.');
    qint64 cents = text.left(dot).toLongLong() * 100 + text.mid(dot + 1, 2).toLongLong();
    if (text.at(dot + 3) >= u'5') ++cents;
    const QString sign = (value < 0 && cents != 0) ? QStringLiteral("-") : QString();
    return sign + QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QChar(u'0'));
}

WeightIndices ComputeWeightIndices(const QString& heightText, const QString& weightText) {
    WeightIndices out;
    const double w = NumericValue(weightText);
    const double h = NumericValue(heightText);
    if (h >= 100 && w >= 10) {
        const double bmi = RoundBmi(w / (h * h / 10000.0));
        if (bmi != 0) out.Bmi = ShortestText(bmi);
        out.BmiStdWeight = TwoDecimals(BmiStdWeightOf(h));
    }
    if (h != 0 && w != 0) {
        const double sm = HibiStdWeightOf(h, true);
        const double sf = HibiStdWeightOf(h, false);
        out.HibiStdWeightMale = TwoDecimals(sm);
        out.HibiObesityMale = TwoDecimals((w / sm - 1) * 100);
        out.HibiStdWeightFemale = TwoDecimals(sf);
        out.HibiObesityFemale = TwoDecimals((w / sf - 1) * 100);
    }
    return out;
}

QString ProcessWeight(const QString& value) {
    MeasureValues& cv = G_Param.CurrentValues;
    cv.Weight = value;
    QString line;
    if (!cv.Weight.IsBlank()) {
        line = QStringLiteral("体重") + TrimTrailingSpaces(cv.Weight) + QStringLiteral("kg");
    }
    const WeightIndices idx = ComputeWeightIndices(cv.Height, value);
    cv.Bmi = idx.Bmi;
    cv.BmiStdWeight = idx.BmiStdWeight;
    cv.HibiStdWeightMale = idx.HibiStdWeightMale;
    cv.HibiStdWeightFemale = idx.HibiStdWeightFemale;
    cv.HibiObesityMale = idx.HibiObesityMale;
    cv.HibiObesityFemale = idx.HibiObesityFemale;
    MeasureValues& rb = G_Param.RecordBuffer.Values;
    rb.Weight = cv.Weight;
    rb.BmiStdWeight = cv.BmiStdWeight;
    rb.HibiStdWeightMale = cv.HibiStdWeightMale;
    rb.HibiStdWeightFemale = cv.HibiStdWeightFemale;
    rb.HibiObesityMale = cv.HibiObesityMale;
    rb.HibiObesityFemale = cv.HibiObesityFemale;
    return line;
}
