#include "SchoolObesity.h"

#include <array>
#include <cstdlib>

namespace {

constexpr int kFirstAge = 5;
constexpr int kLastAge = 17;

// 身長別標準体重 = a × height (cm) − b, a and b in thousandths, for the ages 5-17, from the
// table of the school health statistics survey (学校保健統計調査).
constexpr std::array<Coefficients, 13> kMale{{{386, 23699},
                                              {461, 32382},
                                              {513, 38878},
                                              {592, 48804},
                                              {687, 61390},
                                              {752, 70461},
                                              {782, 75106},
                                              {783, 75642},
                                              {815, 81348},
                                              {832, 83695},
                                              {766, 70989},
                                              {656, 51822},
                                              {672, 53642}}};
constexpr std::array<Coefficients, 13> kFemale{{{377, 22750},
                                                {458, 32079},
                                                {508, 38367},
                                                {561, 45006},
                                                {652, 56992},
                                                {730, 68091},
                                                {803, 78846},
                                                {796, 76934},
                                                {655, 54234},
                                                {594, 43264},
                                                {560, 37002},
                                                {578, 39057},
                                                {598, 42339}}};

// Full-width letters, digits and spaces as their plain forms, spaces around removed.
QString Plain(QStringView item) {
    return item.toString().normalized(QString::NormalizationForm_KC).trimmed();
}

std::optional<int> WholeNumber(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 3) return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// "12.3" from a count of tenths (`decimals` 1) or "12.34" from hundredths (2); a minus only
// where the value is below zero.
QString Fixed(qint64 units, int decimals) {
    const qint64 magnitude = std::llabs(units);
    const qint64 scale = decimals == 2 ? 100 : 10;
    return QStringLiteral("%1%2.%3")
        .arg(units < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / scale)
        .arg(magnitude % scale, decimals, 10, QLatin1Char('0'));
}

Judgement ClassOf(qint64 tenths) {
    if (tenths <= -300) return Judgement::SevereThin;
    if (tenths <= -200) return Judgement::Thin;
    if (tenths < 200) return Judgement::Normal;
    if (tenths < 300) return Judgement::MildObese;
    if (tenths < 500) return Judgement::ModerateObese;
    return Judgement::SevereObese;
}

ObesityResult NotJudged(const QString& reason) {
    ObesityResult result;
    result.Reason = reason;
    return result;
}

ObesityResult Implausible(const QString& reason) {
    ObesityResult result = NotJudged(reason);
    result.Implausible = true;
    return result;
}

// Bounds in ten-thousandths of a cm or kg, inclusive.
constexpr qint64 kLowestHeight = 70'0000, kHighestHeight = 200'0000;
constexpr qint64 kLightestWeight = 10'0000, kHeaviestWeight = 150'0000;

QString Decimal(qint64 tenThousandths) {
    QString text = QString::number(tenThousandths / 10000);
    if (tenThousandths % 10000 == 0) return text;
    QString decimals = QStringLiteral("%1").arg(tenThousandths % 10000, 4, 10, QLatin1Char('0'));
    while (decimals.endsWith(u'0')) decimals.chop(1);
    return text + u'.' + decimals;
}

}  // namespace

QString SexText(Sex sex) {
    switch (sex) {
        case Sex::Male:
            return QStringLiteral("男");
        case Sex::Female:
            return QStringLiteral("女");
        case Sex::Unknown:
            break;
    }
    return QStringLiteral("不明");
}

Sex SexOf(QStringView item) {
    const QString text = Plain(item).toUpper();
    if (text == u"男" || text == u"男子" || text == u"M" || text == u"1") return Sex::Male;
    if (text == u"女" || text == u"女子" || text == u"F" || text == u"2") return Sex::Female;
    return Sex::Unknown;
}

std::optional<int> AgeFromYears(QStringView item) {
    QString text = Plain(item);
    if (text.endsWith(u'歳') || text.endsWith(u'才')) text.chop(1);
    return WholeNumber(text);
}

std::optional<int> AgeFromGrade(QStringView item, School school) {
    QString text = Plain(item);
    struct Prefix {
        const char16_t* Text;
        School Kind;
    };
    static constexpr Prefix kPrefixes[] = {
        {u"小学校", School::Elementary}, {u"小学", School::Elementary}, {u"小", School::Elementary},
        {u"中学校", School::Junior},     {u"中学", School::Junior},     {u"中", School::Junior},
        {u"高等学校", School::Senior},   {u"高校", School::Senior},     {u"高", School::Senior}};
    for (const Prefix& prefix : kPrefixes) {
        const QString start = QString::fromUtf16(prefix.Text);
        if (text.startsWith(start)) {
            text.remove(0, start.size());
            school = prefix.Kind;
            break;
        }
    }
    if (text.startsWith(u'第')) text.remove(0, 1);
    qsizetype digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') ++digits;
    // What follows the grade ("年", "年2組", "-2") is not read.
    const std::optional<int> grade = WholeNumber(QStringView(text).first(digits));
    if (!grade || *grade < 1) return std::nullopt;
    switch (school) {
        case School::Elementary:
            if (*grade <= 6) return 5 + *grade;
            break;
        case School::Junior:
            if (*grade <= 3) return 11 + *grade;
            break;
        case School::Senior:
            if (*grade <= 3) return 14 + *grade;
            break;
        case School::Compulsory:
            if (*grade <= 9) return 5 + *grade;
            break;
        case School::Secondary:
            if (*grade <= 6) return 11 + *grade;
            break;
        case School::None:
            break;
    }
    return std::nullopt;
}

QString JudgementText(Judgement judgement) {
    static const std::array<QString, JudgementCount> kTexts{
        QStringLiteral("高度やせ"), QStringLiteral("やせ"),       QStringLiteral("普通"),
        QStringLiteral("軽度肥満"), QStringLiteral("中等度肥満"), QStringLiteral("高度肥満")};
    return kTexts[static_cast<int>(judgement)];
}

bool IsObeseTendency(Judgement judgement) {
    return judgement >= Judgement::MildObese;
}

bool IsThinTendency(Judgement judgement) {
    return judgement <= Judgement::Thin;
}

std::optional<Coefficients> CoefficientsFor(Sex sex, int age) {
    if (sex == Sex::Unknown || age < kFirstAge || age > kLastAge) return std::nullopt;
    return (sex == Sex::Male ? kMale : kFemale)[age - kFirstAge];
}

std::optional<qint64> TenThousandths(QStringView text) {
    text = text.trimmed();
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.first(point);
    const QStringView decimals = point < 0 ? QStringView() : text.sliced(point + 1);
    if (whole.isEmpty() && decimals.isEmpty()) return std::nullopt;
    if (whole.size() > 5) return std::nullopt;  // keeps the arithmetic below in range
    qint64 value = 0;
    for (QChar c : whole) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    for (qsizetype i = 0; i < decimals.size(); ++i) {
        const QChar c = decimals[i];
        if (c < u'0' || c > u'9') return std::nullopt;
        if (i < 4) value = value * 10 + (c.unicode() - u'0');
    }
    for (qsizetype i = decimals.size(); i < 4; ++i) value *= 10;
    return value;
}

QString ObesityResult::StdWeightText() const {
    return Fixed((StdWeightE7 + 50000) / 100000, 2);
}

QString ObesityResult::ObesityText() const {
    return Fixed(ObesityTenths, 1);
}

QString ObesityResult::Label() const {
    return Judged ? JudgementText(Class) : Implausible ? kCheckReading : kNotJudged;
}

ObesityResult JudgeObesity(Sex sex, std::optional<int> age, QStringView height,
                           QStringView weight) {
    const std::optional<qint64> h = TenThousandths(height);
    if (!h || *h == 0) return NotJudged(QStringLiteral("身長がありません"));
    const std::optional<qint64> w = TenThousandths(weight);
    if (!w || *w == 0) return NotJudged(QStringLiteral("体重がありません"));
    if (*h < kLowestHeight || *h > kHighestHeight)
        return Implausible(QStringLiteral("身長 %1 cm は70～200 cmの範囲外です").arg(Decimal(*h)));
    if (*w < kLightestWeight || *w > kHeaviestWeight)
        return Implausible(QStringLiteral("体重 %1 kg は10～150 kgの範囲外です").arg(Decimal(*w)));
    if (sex == Sex::Unknown) return NotJudged(QStringLiteral("性別が不明です"));
    if (!age) return NotJudged(QStringLiteral("年齢が不明です"));
    const std::optional<Coefficients> c = CoefficientsFor(sex, *age);
    if (!c) return NotJudged(QStringLiteral("%1歳は5～17歳の範囲外です").arg(*age));
    // a (1e-3) × height (1e-4 cm) is in 1e-7 kg; so are b and the weight, scaled up to it.
    const qint64 standard = c->AMilli * *h - qint64(c->BMilli) * 10000;
    if (standard <= 0) return NotJudged(QStringLiteral("身長が低すぎて標準体重を求められません"));
    // Below half the standard weight or above 2.5 times it: −50 % and +150 % are still in.
    if (*w * 1000 * 2 < standard || *w * 1000 * 2 > standard * 5)
        return Implausible(QStringLiteral("肥満度が−50～+150%の範囲外です"));
    ObesityResult result;
    result.Judged = true;
    result.StdWeightE7 = standard;
    // Integer division cuts toward zero: tenths of (weight − standard) / standard × 100 %.
    result.ObesityTenths = (*w * 1000 - standard) * 1000 / standard;
    result.Class = ClassOf(result.ObesityTenths);
    return result;
}
