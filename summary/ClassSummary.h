#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "MeasureRecord.h"
#include "SchoolObesity.h"

// Which of the three items of a record say who a pupil is. Items are numbered 1-3; 0 is none.
enum class AgeSource { AgeItem, GradeItem, WholeSet };
struct SummaryChoice {
    int SexItem = 0;
    AgeSource Source = AgeSource::GradeItem;
    int AgeItem = 0;
    int GradeItem = 0;
    School GradeSchool = School::None;  // for grades written without their school ("1年")
    int Age = 10;                       // the age of the whole set
    int GroupItem = 0;                  // 0: the set is one group
    bool operator==(const SummaryChoice&) const = default;
};

struct Pupil {
    int Number = 0;  // No. of the record
    std::array<QString, 3> Items;
    Sex PupilSex = Sex::Unknown;
    std::optional<int> Age;
    QString Height;  // as stored, without padding
    QString Weight;
    QString SittingHeight;
    ObesityResult Result;

    // Whether a height or a weight was measured.
    bool Measured() const { return !Height.isEmpty() || !Weight.isEmpty(); }
    // Left out of the statistics and the chart: an impossible reading.
    bool LeftOut() const { return Result.Implausible; }
    // The doctor's list: judged, 肥満傾向 or 痩身傾向.
    bool NeedsAttention() const {
        return Result.Judged && (IsObeseTendency(Result.Class) || IsThinTendency(Result.Class));
    }
};

// The measurement records (No. 1 on) as pupils; blank records are no pupils.
QList<Pupil> ReadPupils(const QList<MeasureRecord>& measurements, const SummaryChoice& choice);

// Mean and standard deviation of the values present. The deviation is that of the population
// (divided by n): a class is described as it is, not taken as a sample of something larger.
struct Spread {
    int Count = 0;
    double Mean = 0;
    double Sd = 0;
};
Spread SpreadOf(const QList<double>& values);
// `value` with `decimals` decimals, rounded half up as the decimal it stands for: a mean of
// 142.95 (held as 142.9499…) shows "143.0".
QString DecimalText(double value, int decimals);

struct GroupRow {
    QString Group;     // the group item's text; "全体" for the whole set
    QString SexLabel;  // "男", "女", "計"
    int Measured = 0;
    Spread Height;
    Spread Weight;
    Spread SittingHeight;
    std::array<int, JudgementCount> Classes{};
    int Judged = 0;
    int NotJudged = 0;  // measured but not judged
    int LeftOut = 0;    // impossible readings: in no other count, mean or share
    // Shares of the judged pupils, in percent; 0 when none was judged.
    double ObeseShare() const;
    double ThinShare() const;
};

// Per group (by `groupItem`, 0: one group "全体") rows for 男, 女 and 計, groups in natural
// order ("2組" before "10組", "（なし）" last); with several groups, "全体" rows close the
// list. Pupils of unknown sex count in 計 only. Only measured pupils count.
QList<GroupRow> GroupStatistics(const QList<Pupil>& pupils, int groupItem);
// The group names of `groupItem` in that order; one "全体" for no group item.
QStringList GroupNames(const QList<Pupil>& pupils, int groupItem);
// The group a pupil is in: "（なし）" for a blank item, "全体" for no group item.
QString GroupOf(const Pupil& pupil, int groupItem);
// The school doctor's list: the pupils of 肥満傾向 and 痩身傾向, the most serious first (高度肥満,
// 中等度肥満, 軽度肥満, 高度やせ, やせ), then by group and number.
QList<Pupil> DoctorList(const QList<Pupil>& pupils, int groupItem);

// Everything a summary shows, from the record file's records (headers included).
struct ClassSummary {
    QString Title;
    QString MeasureDate;
    QString Person;
    QStringList Captions;  // the three item captions, "項目n" when blank
    SummaryChoice Choice;
    QList<Pupil> Pupils;
    QList<GroupRow> Groups;
};
ClassSummary Summarize(const QList<MeasureRecord>& records, const SummaryChoice& choice);
// The part of `summary` for one group, as if the set held only that group.
ClassSummary GroupPart(const ClassSummary& summary, const QString& group);
// "性別: 「性別」　年齢: 「学年」の学年（小学校）　グループ: 「組」": how the pupils were read,
// for the report.
QString ChoiceDescription(const ClassSummary& summary);
// How the numbers are to be read: obesity degree cut, class on the exact value, which age,
// the population deviation.
QString ReadingNote(const ClassSummary& summary);

// The judgement CSV: the three label lines, a heading line and one line per pupil, in CP932
// with CR LF, texts quoted as in the set's CSV, the number bare.
namespace JudgementCsv {
QByteArray HeadingLine(const QStringList& captions);
QByteArray DataLine(const Pupil& pupil);
QByteArray File(const ClassSummary& summary);
}  // namespace JudgementCsv
