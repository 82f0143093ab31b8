#include "mdlStandard.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <charconv>
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

namespace {
// The reading of a text too long for NumericValue's buffer.
double NumericValueOfLongText(const QString& text) {
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
}  // namespace

double NumericValue(const QString& text) {
    // Every frame of the meter passes here: the characters go into a small buffer, not a
    // string of their own.
    std::array<char, 128> s{};
    qsizetype n = 0;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t') continue;
        if (n == qsizetype(s.size())) return NumericValueOfLongText(text);
        s[size_t(n++)] = c.unicode() < 0x80 ? char(c.unicode()) : '?';
    }
    qsizetype i = 0;
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && s[size_t(i)] >= '0' && s[size_t(i)] <= '9') ++i;
        return i - start;
    };
    if (i < n && (s[0] == '+' || s[0] == '-')) ++i;
    qsizetype mantissa = digits();
    if (i < n && s[size_t(i)] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0.0;
    qsizetype end = i;
    if (i < n && (s[size_t(i)] == 'e' || s[size_t(i)] == 'E')) {
        ++i;
        if (i < n && (s[size_t(i)] == '+' || s[size_t(i)] == '-')) ++i;
        if (digits() > 0) end = i;
    }
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    double v = 0;
    const auto [last, error] = std::from_chars(first, s.data() + end, v);
    return error == std::errc() && last == s.data() + end && std::isfinite(v) ? v : 0.0;
}

double RoundBmi(double rawBmi) {
    const double hundredths = std::nearbyint(rawBmi * 100.0);  // ties to even
    return std::floor(hundredths / 10.0 + 0.5) / 10.0;         // ties up
}

QString ShortestText(double value) {
    // Plain decimal digits, never an exponent: a stored field is read back as a number.
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (error != std::errc() || !std::isfinite(value))
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    return QString::fromLatin1(text, end - text);
}

QString TwoDecimals(double value) {
    // Round the decimal text, not the binary value, so that 63.575 shows as 63.58.
    const double magnitude = std::fabs(value);
    char text[64];
    const auto [end, error] =
        std::isfinite(value) && magnitude < 1e15
            ? std::to_chars(text, text + sizeof text, magnitude, std::chars_format::fixed, 10)
            : std::to_chars_result{text, std::errc::value_too_large};
    if (error != std::errc()) return QString::number(value, 'f', 2);
    const char* dot = std::find(text, end, '.');
    qint64 cents = 0;
    for (const char* p = text; p < dot; ++p) cents = cents * 10 + (*p - '0');
    cents = cents * 100 + (dot[1] - '0') * 10 + (dot[2] - '0');
    if (dot[3] >= '5') ++cents;
    char out[32];
    char* p = out;
    if (value < 0 && cents != 0) *p++ = '-';
    // Room is kept for the point and the two decimals.
    const auto [whole, wholeError] = std::to_chars(p, out + sizeof out - 3, cents / 100);
    if (wholeError != std::errc()) return QString::number(value, 'f', 2);
    p = whole;
    *p++ = '.';
    *p++ = char('0' + cents % 100 / 10);
    *p++ = char('0' + cents % 10);
    return QString::fromLatin1(out, p - out);
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
