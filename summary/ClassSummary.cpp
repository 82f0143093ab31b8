#include "ClassSummary.h"

#include <QCollator>
#include <QLocale>
#include <QMap>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "Cp932.h"
#include "CsvLines.h"
#include "FixedText.h"

namespace {

const QString kWholeSet = QStringLiteral("全体");
const QString kNoGroup = QStringLiteral("（なし）");

QString ItemOf(const Pupil& pupil, int item) {
    return item >= 1 && item <= 3 ? pupil.Items[item - 1] : QString();
}

std::optional<int> AgeOf(const Pupil& pupil, const SummaryChoice& choice) {
    switch (choice.Source) {
        case AgeSource::AgeItem:
            return AgeFromYears(ItemOf(pupil, choice.AgeItem));
        case AgeSource::GradeItem:
            return AgeFromGrade(ItemOf(pupil, choice.GradeItem), choice.GradeSchool);
        case AgeSource::WholeSet:
            return choice.Age;
    }
    return std::nullopt;
}

std::optional<double> Measurement(const QString& text) {
    const std::optional<qint64> value = TenThousandths(text);
    if (!value || *value == 0) return std::nullopt;
    return double(*value) / 10000;
}

GroupRow RowOf(const QString& group, const QString& sexLabel, const QList<const Pupil*>& pupils) {
    GroupRow row;
    row.Group = group;
    row.SexLabel = sexLabel;
    QList<double> heights, weights, sittingHeights;
    for (const Pupil* pupil : pupils) {
        if (pupil->LeftOut()) {
            ++row.LeftOut;
            continue;
        }
        ++row.Measured;
        if (const auto h = Measurement(pupil->Height)) heights << *h;
        if (const auto w = Measurement(pupil->Weight)) weights << *w;
        if (const auto s = Measurement(pupil->SittingHeight)) sittingHeights << *s;
        if (pupil->Result.Judged) {
            ++row.Judged;
            ++row.Classes[static_cast<int>(pupil->Result.Class)];
        } else {
            ++row.NotJudged;
        }
    }
    row.Height = SpreadOf(heights);
    row.Weight = SpreadOf(weights);
    row.SittingHeight = SpreadOf(sittingHeights);
    return row;
}

// 男, 女 (each only when present) and 計 of one group.
void AppendGroup(const QString& group, const QList<const Pupil*>& pupils, QList<GroupRow>& rows) {
    for (const Sex sex : {Sex::Male, Sex::Female}) {
        QList<const Pupil*> ofSex;
        for (const Pupil* pupil : pupils)
            if (pupil->PupilSex == sex) ofSex << pupil;
        if (!ofSex.isEmpty()) rows << RowOf(group, SexText(sex), ofSex);
    }
    rows << RowOf(group, QStringLiteral("計"), pupils);
}

QString Quoted(const QString& text) {
    QString inner = TrimSpaces(text);
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QByteArray Line(const QStringList& items) {
    return Cp932::Encode(items.join(u',') + QStringLiteral("\r\n"));
}

QCollator NaturalOrder() {
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    collator.setNumericMode(true);
    return collator;
}

// Natural order, "（なし）" last.
void SortGroups(QStringList& names) {
    const QCollator collator = NaturalOrder();
    std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        if ((a == kNoGroup) != (b == kNoGroup)) return b == kNoGroup;
        return collator.compare(a, b) < 0;
    });
}

QString CaptionOr(const Text20& caption, int number) {
    return caption.IsBlank() ? QStringLiteral("項目%1").arg(number) : caption.Trimmed();
}

}  // namespace

QList<Pupil> ReadPupils(const QList<MeasureRecord>& measurements, const SummaryChoice& choice) {
    QList<Pupil> pupils;
    for (qsizetype i = 0; i < measurements.size(); ++i) {
        const MeasureRecord& record = measurements[i];
        if (record == MeasureRecord{}) continue;
        Pupil pupil;
        pupil.Number = int(i) + 1;
        pupil.Items = {record.SubLabel1.Trimmed(), record.SubLabel2.Trimmed(),
                       record.SubLabel3.Trimmed()};
        pupil.PupilSex = SexOf(ItemOf(pupil, choice.SexItem));
        pupil.Age = AgeOf(pupil, choice);
        pupil.Height = record.Values.Height.Trimmed();
        pupil.Weight = record.Values.Weight.Trimmed();
        pupil.SittingHeight = record.Values.SittingHeight.Trimmed();
        pupil.Result = JudgeObesity(pupil.PupilSex, pupil.Age, pupil.Height, pupil.Weight);
        pupils << pupil;
    }
    return pupils;
}

Spread SpreadOf(const QList<double>& values) {
    Spread spread;
    spread.Count = int(values.size());
    if (values.isEmpty()) return spread;
    double sum = 0;
    for (double v : values) sum += v;
    spread.Mean = sum / spread.Count;
    double squares = 0;
    for (double v : values) squares += (v - spread.Mean) * (v - spread.Mean);
    spread.Sd = std::sqrt(squares / spread.Count);
    return spread;
}

QString DecimalText(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // A mean of readings to 0.1 (at most 1500) lies on a tie or at least 1/15000 of the last
    // place away from one; its binary value may lie a hair below the tie, and the nudge,
    // far smaller than that gap, puts it back before it is rounded up.
    const double scaled = std::abs(value) * scale;
    const double rounded = std::floor(scaled + 0.5 + scaled * 1e-9);
    const double result = std::copysign(rounded / scale, rounded == 0 ? 1.0 : value);
    return QString::number(result, 'f', decimals);
}

double GroupRow::ObeseShare() const {
    const int obese = Classes[3] + Classes[4] + Classes[5];
    return Judged == 0 ? 0 : 100.0 * obese / Judged;
}

double GroupRow::ThinShare() const {
    return Judged == 0 ? 0 : 100.0 * (Classes[0] + Classes[1]) / Judged;
}

QList<GroupRow> GroupStatistics(const QList<Pupil>& pupils, int groupItem) {
    QList<const Pupil*> measured;
    for (const Pupil& pupil : pupils)
        if (pupil.Measured()) measured << &pupil;
    QList<GroupRow> rows;
    if (groupItem < 1 || groupItem > 3) {
        AppendGroup(kWholeSet, measured, rows);
        return rows;
    }
    QMap<QString, QList<const Pupil*>> groups;
    for (const Pupil* pupil : measured) groups[GroupOf(*pupil, groupItem)] << pupil;
    QStringList names = groups.keys();
    SortGroups(names);
    for (const QString& name : names) AppendGroup(name, groups[name], rows);
    if (names.size() > 1) AppendGroup(kWholeSet, measured, rows);
    return rows;
}

QString GroupOf(const Pupil& pupil, int groupItem) {
    if (groupItem < 1 || groupItem > 3) return kWholeSet;
    const QString group = ItemOf(pupil, groupItem);
    return group.isEmpty() ? kNoGroup : group;
}

QStringList GroupNames(const QList<Pupil>& pupils, int groupItem) {
    QStringList names;
    for (const Pupil& pupil : pupils)
        if (!names.contains(GroupOf(pupil, groupItem))) names << GroupOf(pupil, groupItem);
    SortGroups(names);
    return names;
}

QList<Pupil> DoctorList(const QList<Pupil>& pupils, int groupItem) {
    // Rank 0 is the most serious.
    static constexpr int kRank[JudgementCount] = {3, 4, 5, 2, 1, 0};
    QList<Pupil> list;
    for (const Pupil& pupil : pupils)
        if (pupil.NeedsAttention()) list << pupil;
    const QStringList groups = GroupNames(list, groupItem);
    std::stable_sort(list.begin(), list.end(), [&](const Pupil& a, const Pupil& b) {
        const auto key = [&](const Pupil& p) {
            return std::tuple(kRank[static_cast<int>(p.Result.Class)],
                              groups.indexOf(GroupOf(p, groupItem)), p.Number);
        };
        return key(a) < key(b);
    });
    return list;
}

ClassSummary GroupPart(const ClassSummary& summary, const QString& group) {
    ClassSummary part = summary;
    part.Pupils.clear();
    for (const Pupil& pupil : summary.Pupils)
        if (GroupOf(pupil, summary.Choice.GroupItem) == group) part.Pupils << pupil;
    part.Groups = GroupStatistics(part.Pupils, summary.Choice.GroupItem);
    return part;
}

ClassSummary Summarize(const QList<MeasureRecord>& records, const SummaryChoice& choice) {
    ClassSummary summary;
    const MeasureRecord header = records.isEmpty() ? MeasureRecord{} : records[0];
    const MeasureRecord captions = records.size() < 2 ? MeasureRecord{} : records[1];
    summary.Title = header.SubLabel1.Trimmed();
    summary.MeasureDate = header.SubLabel2.Trimmed();
    summary.Person = header.SubLabel3.Trimmed();
    summary.Captions = {CaptionOr(captions.SubLabel1, 1), CaptionOr(captions.SubLabel2, 2),
                        CaptionOr(captions.SubLabel3, 3)};
    summary.Choice = choice;
    summary.Pupils = ReadPupils(records.mid(qMin<qsizetype>(records.size(), 2)), choice);
    summary.Groups = GroupStatistics(summary.Pupils, choice.GroupItem);
    return summary;
}

QString ChoiceDescription(const ClassSummary& summary) {
    const SummaryChoice& c = summary.Choice;
    const auto caption = [&summary](int item) {
        return item >= 1 && item <= 3 ? QStringLiteral("「%1」").arg(summary.Captions[item - 1])
                                      : QStringLiteral("なし");
    };
    static const QStringList kSchools{QString(),
                                      QStringLiteral("（小学校）"),
                                      QStringLiteral("（中学校）"),
                                      QStringLiteral("（高等学校）"),
                                      QStringLiteral("（義務教育学校）"),
                                      QStringLiteral("（中等教育学校）")};
    QString age;
    switch (c.Source) {
        case AgeSource::AgeItem:
            age = caption(c.AgeItem) + QStringLiteral("の年齢");
            break;
        case AgeSource::GradeItem:
            age = caption(c.GradeItem) + QStringLiteral("の学年") +
                  kSchools[static_cast<int>(c.GradeSchool)];
            break;
        case AgeSource::WholeSet:
            age = QStringLiteral("全員%1歳").arg(c.Age);
            break;
    }
    return QStringLiteral("性別: %1　年齢: %2　グループ: %3")
        .arg(caption(c.SexItem), age, caption(c.GroupItem));
}

QString ReadingNote(const ClassSummary& summary) {
    const QString age =
        summary.Choice.Source == AgeSource::AgeItem ? QStringLiteral("年齢は年齢の項目のとおり")
        : summary.Choice.Source == AgeSource::GradeItem
            ? QStringLiteral("年齢は学年から4月1日現在の満年齢（その学年の標準の年齢）として")
            : QStringLiteral("年齢は全員%1歳として").arg(summary.Choice.Age);
    return QStringLiteral(
               "肥満度は小数第1位未満を切り捨てて表示し、判定は切り捨て前の値で行う。"
               "標準体重は小数第2位に四捨五入して表示。%1求めた。"
               "標準偏差は母標準偏差（n で割る）。平均と標準偏差は四捨五入。"
               "身長70～200 cm・体重10～150 kg・肥満度−50～+150%の範囲外は"
               "「確認してください」とし、集計とグラフから除いた。")
        .arg(age);
}

namespace JudgementCsv {

QByteArray HeadingLine(const QStringList& captions) {
    QStringList items{QStringLiteral("No.")};
    items << captions;
    // The computed sex and age are headed apart from any item captioned 性別 or 年齢.
    items << QStringList{QStringLiteral("判定用性別"),   QStringLiteral("判定用年齢"),
                         QStringLiteral("身長[cm]"),     QStringLiteral("体重[kg]"),
                         QStringLiteral("標準体重[kg]"), QStringLiteral("肥満度[%]"),
                         QStringLiteral("判定"),         QStringLiteral("備考")};
    for (QString& item : items) item = Quoted(item);
    return Line(items);
}

QByteArray DataLine(const Pupil& pupil) {
    const ObesityResult& r = pupil.Result;
    return Line({QString::number(pupil.Number), Quoted(pupil.Items[0]), Quoted(pupil.Items[1]),
                 Quoted(pupil.Items[2]), Quoted(SexText(pupil.PupilSex)),
                 Quoted(pupil.Age ? QString::number(*pupil.Age) : QString()), Quoted(pupil.Height),
                 Quoted(pupil.Weight), Quoted(r.Judged ? r.StdWeightText() : QString()),
                 Quoted(r.Judged ? r.ObesityText() : QString()), Quoted(r.Label()),
                 Quoted(r.Reason)});
}

QByteArray File(const ClassSummary& summary) {
    QByteArray bytes = CsvLines::LabelLines(summary.Title, summary.MeasureDate, summary.Person);
    bytes += HeadingLine(summary.Captions);
    for (const Pupil& pupil : summary.Pupils) bytes += DataLine(pupil);
    return bytes;
}

}  // namespace JudgementCsv
