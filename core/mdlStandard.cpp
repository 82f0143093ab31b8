#include "mdlStandard.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <optional>

#include "FixedText.h"
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
// The full reading, for what the usual field's reading leaves: exponents, more digits.
double NumericValueOfAnyText(QStringView text) {
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

// The usual field in one pass: digits with at most one point and no exponent. A whole number
// of at most 15 digits divided by a power of ten is the correctly rounded value of the text,
// the same as reading it digit by digit. Empty for anything else.
std::optional<double> PlainNumericValue(QStringView text) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    quint64 digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    bool negative = false;
    bool signAllowed = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t') continue;
        if (signAllowed && (u == u'+' || u == u'-')) {
            negative = u == u'-';
            signAllowed = false;
            continue;
        }
        signAllowed = false;
        if (u >= u'0' && u <= u'9') {
            if (count == 15) return std::nullopt;
            digits = digits * 10 + (u - u'0');
            ++count;
            if (point) ++decimals;
        } else if (u == u'.' && !point) {
            point = true;
        } else if (u == u'e' || u == u'E') {
            return std::nullopt;
        } else {
            break;
        }
    }
    if (count == 0) return 0.0;
    const double value = double(digits) / kPowersOfTen[decimals];
    return negative ? -value : value;
}
}  // namespace

double NumericValue(QStringView text) {
    if (const std::optional<double> plain = PlainNumericValue(text)) return *plain;
    return NumericValueOfAnyText(text);
}

namespace {
// The rounded BMI in tenths, a whole number.
double BmiTenths(double rawBmi) {
    const double hundredths = std::nearbyint(rawBmi * 100.0);  // ties to even
    return std::floor(hundredths / 10.0 + 0.5);                // ties up
}
}  // namespace

double RoundBmi(double rawBmi) {
    return BmiTenths(rawBmi) / 10.0;
}

namespace {

// A number's text as the weight step makes it: Latin-1 characters in a small buffer, so that
// the six texts of every weight frame cost no allocation. A text that does not fit (huge or
// not finite values) is held as a string.
class NumberText {
public:
    static constexpr qsizetype Capacity = 32;

    char* Buffer() { return m_chars.data(); }
    void SetLength(qsizetype length) { m_length = length; }
    void SetText(QString text) {
        m_length = -1;
        m_text = std::move(text);
    }
    QString ToString() const {
        return m_length < 0 ? m_text : QString::fromLatin1(m_chars.data(), m_length);
    }
    template <int N>
    void AssignTo(FixedText<N>& field) const {
        if (m_length < 0) {
            field = m_text;
        } else {
            field.AssignLatin1(m_chars.data(), m_length);
        }
    }

private:
    std::array<char, Capacity> m_chars;  // the first m_length are the text
    qsizetype m_length = 0;              // -1: the text is m_text
    QString m_text;
};

void FormatShortest(double value, NumberText& out) {
    // Plain decimal digits, never an exponent: a stored field is read back as a number.
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (error != std::errc() || !std::isfinite(value)) {
        out.SetText(QString::number(value, 'f', QLocale::FloatingPointShortest));
    } else if (end - text > NumberText::Capacity) {
        out.SetText(QString::fromLatin1(text, end - text));
    } else {
        std::copy(text, end, out.Buffer());
        out.SetLength(end - text);
    }
}

// The shortest text of tenths / 10: "22.5", "22". Within 1e12 tenths the one-decimal text
// is the only one that short which reads back as the same double.
void FormatTenths(double tenths, NumberText& out) {
    if (!(std::fabs(tenths) < 1e12)) {
        FormatShortest(tenths / 10.0, out);
        return;
    }
    const auto whole = qint64(tenths);
    const quint64 magnitude = whole < 0 ? quint64(-whole) : quint64(whole);
    char* const first = out.Buffer();
    char* p = first;
    if (whole < 0) *p++ = '-';
    p = std::to_chars(p, first + NumberText::Capacity, magnitude / 10).ptr;
    if (magnitude % 10 != 0) {
        *p++ = '.';
        *p++ = char('0' + magnitude % 10);
    }
    out.SetLength(p - first);
}

// The magnitude in hundredths as its ten-decimal text rounds at the third decimal, half up:
// 2.675, stored as 2.67499999999999982236, reads "2.6750000000" and gives 268. The
// ten-decimal rounding (to nearest, ties to even, as the text is made) is done exactly on the
// binary value in integers. Empty for magnitudes of 1e15 and more and for non-finite ones.
std::optional<quint64> HundredthsOf(double magnitude) {
    if (!(magnitude < 1e15)) return std::nullopt;
    if (magnitude == 0) return 0;
    __extension__ using Wide = unsigned __int128;
    // magnitude == mantissa / 2^shift exactly, read from the bits of the double; shift > 0
    // because magnitude < 2^50.
    const auto bits = std::bit_cast<quint64>(magnitude);
    const int biasedExponent = int(bits >> 52);
    const quint64 fraction = bits & ((quint64(1) << 52) - 1);
    const Wide mantissa = biasedExponent == 0 ? fraction : fraction | (quint64(1) << 52);
    const int shift = biasedExponent == 0 ? 1074 : 1075 - biasedExponent;
    const Wide scaled = mantissa * 10'000'000'000ULL;  // below 2^87
    Wide tenDecimals = 0;
    if (shift < 100) {
        tenDecimals = scaled >> shift;
        const Wide rest = scaled - (tenDecimals << shift);
        const Wide half = Wide(1) << (shift - 1);
        if (rest > half || (rest == half && (tenDecimals & 1) != 0)) ++tenDecimals;
    }
    // Half up at the third decimal: add half a hundredth in tenth-billionths.
    const Wide rounded = tenDecimals + 50'000'000;
    if ((rounded >> 64) == 0) return quint64(rounded) / 100'000'000;
    return quint64(rounded / 100'000'000);
}

void FormatTwoDecimals(double value, NumberText& out) {
    // Round the decimal text, not the binary value, so that 63.575 shows as 63.58.
    const std::optional<quint64> hundredths = HundredthsOf(std::fabs(value));
    if (!hundredths) {
        out.SetText(QString::number(value, 'f', 2));
        return;
    }
    char* const first = out.Buffer();
    char* p = first;
    if (value < 0 && *hundredths != 0) *p++ = '-';
    // Below 1e17 hundredths: at most 15 whole digits, the point and two decimals.
    p = std::to_chars(p, first + NumberText::Capacity, *hundredths / 100).ptr;
    *p++ = '.';
    *p++ = char('0' + *hundredths % 100 / 10);
    *p++ = char('0' + *hundredths % 10);
    out.SetLength(p - first);
}

// The six texts of the weight step; empty where not computed.
struct IndexTexts {
    NumberText Bmi;
    NumberText BmiStdWeight;
    NumberText HibiStdWeightMale;
    NumberText HibiStdWeightFemale;
    NumberText HibiObesityMale;
    NumberText HibiObesityFemale;
};

void ComputeIndexTexts(QStringView heightText, QStringView weightText, IndexTexts& out) {
    const double w = NumericValue(weightText);
    const double h = NumericValue(heightText);
    if (h >= 100 && w >= 10) {
        const double tenths = BmiTenths(w / (h * h / 10000.0));
        if (tenths != 0) FormatTenths(tenths, out.Bmi);
        FormatTwoDecimals(BmiStdWeightOf(h), out.BmiStdWeight);
    }
    if (h != 0 && w != 0) {
        const double sm = HibiStdWeightOf(h, true);
        const double sf = HibiStdWeightOf(h, false);
        FormatTwoDecimals(sm, out.HibiStdWeightMale);
        FormatTwoDecimals((w / sm - 1) * 100, out.HibiObesityMale);
        FormatTwoDecimals(sf, out.HibiStdWeightFemale);
        FormatTwoDecimals((w / sf - 1) * 100, out.HibiObesityFemale);
    }
}

}  // namespace

QString ShortestText(double value) {
    NumberText text;
    FormatShortest(value, text);
    return text.ToString();
}

QString TwoDecimals(double value) {
    NumberText text;
    FormatTwoDecimals(value, text);
    return text.ToString();
}

WeightIndices ComputeWeightIndices(QStringView heightText, QStringView weightText) {
    IndexTexts texts;
    ComputeIndexTexts(heightText, weightText, texts);
    return {texts.Bmi.ToString(),
            texts.BmiStdWeight.ToString(),
            texts.HibiStdWeightMale.ToString(),
            texts.HibiStdWeightFemale.ToString(),
            texts.HibiObesityMale.ToString(),
            texts.HibiObesityFemale.ToString()};
}

QString ProcessWeight(QStringView value, bool deriveIndices) {
    MeasureValues& cv = G_Param.CurrentValues;
    MeasureValues& rb = G_Param.RecordBuffer.Values;
    cv.Weight = value;
    rb.Weight = cv.Weight;
    const QString line =
        cv.Weight.IsBlank()
            ? QString()
            : Concatenated(u"体重", WithoutTrailingSpaces(cv.Weight.Value()), u"kg");
    if (!deriveIndices) return line;
    // Every weight frame passes here: the texts go straight into the fields.
    IndexTexts idx;
    ComputeIndexTexts(cv.Height.Value(), value, idx);
    idx.Bmi.AssignTo(cv.Bmi);
    idx.BmiStdWeight.AssignTo(cv.BmiStdWeight);
    idx.HibiStdWeightMale.AssignTo(cv.HibiStdWeightMale);
    idx.HibiStdWeightFemale.AssignTo(cv.HibiStdWeightFemale);
    idx.HibiObesityMale.AssignTo(cv.HibiObesityMale);
    idx.HibiObesityFemale.AssignTo(cv.HibiObesityFemale);
    rb.BmiStdWeight = cv.BmiStdWeight;
    rb.HibiStdWeightMale = cv.HibiStdWeightMale;
    rb.HibiStdWeightFemale = cv.HibiStdWeightFemale;
    rb.HibiObesityMale = cv.HibiObesityMale;
    rb.HibiObesityFemale = cv.HibiObesityFemale;
    return line;
}
