#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The school method of judging a pupil's build: the standard weight for the pupil's height
// (身長別標準体重 = a × height − b, a and b by sex and age 5-17) and the obesity degree
// (肥満度) measured against it. Plain functions, no files, no widgets.

enum class Sex { Unknown, Male, Female };
// "男", "女", "不明".
QString SexText(Sex sex);
// 男/女, 男子/女子, M/F, 1/2 (full-width forms and lower case too); anything else is unknown.
Sex SexOf(QStringView item);

// Compulsory: 義務教育学校, grades 1-9; Secondary: 中等教育学校, grades 1-6. (Values are kept
// in Org/hakaron.ini: new kinds go at the end.)
enum class School { None, Elementary, Junior, Senior, Compulsory, Secondary };
// An age in whole years: "12", "12歳", "１２才". Empty for anything else.
std::optional<int> AgeFromYears(QStringView item);
// A grade: 小1-小6 are 6-11 years, 中1-中3 12-14, 高1-高3 15-17 ("小学1年", "中2", "高校3年",
// also "3年2組"); the age on the 1st of April of a pupil in the normal grade for the age. A
// grade without its school ("1年", "7年") takes `school` (7年-9年 of a 義務教育学校 are 12-14,
// 4年-6年 of a 中等教育学校 15-17); without either it is empty, as is a grade the school does
// not have.
std::optional<int> AgeFromGrade(QStringView item, School school);

enum class Judgement { SevereThin, Thin, Normal, MildObese, ModerateObese, SevereObese };
constexpr int JudgementCount = 6;
// 高度やせ, やせ, 普通, 軽度肥満, 中等度肥満, 高度肥満.
QString JudgementText(Judgement judgement);
// 肥満傾向: 20 % and over.
bool IsObeseTendency(Judgement judgement);
// 痩身傾向: −20 % and under.
bool IsThinTendency(Judgement judgement);

// a and b in thousandths, exactly as the published table gives them.
struct Coefficients {
    int AMilli = 0;
    int BMilli = 0;
};
// Empty for an unknown sex or an age outside 5-17.
std::optional<Coefficients> CoefficientsFor(Sex sex, int age);

// A stored measurement as an exact number of ten-thousandths: "154.0" -> 1540000. Digits with
// at most one point, spaces around; further decimals are cut. Empty for anything else.
std::optional<qint64> TenThousandths(QStringView text);

inline const QString kNotJudged = QStringLiteral("判定できません");
// A reading no pupil can have: a typing or meter fault, never judged.
inline const QString kCheckReading = QStringLiteral("確認してください");

struct ObesityResult {
    bool Judged = false;
    bool Implausible = false;  // height, weight or obesity degree out of any pupil's range
    QString Reason;            // why the pupil cannot be judged
    qint64 StdWeightE7 = 0;    // standard weight in units of 1e-7 kg, exact
    qint64 ObesityTenths = 0;  // obesity degree in tenths of a percent, cut toward zero
    Judgement Class = Judgement::Normal;

    // "44.94": the standard weight to two decimals, rounded half up (the coefficients have
    // three, a measured height one), so that a printed row can be recomputed by hand.
    QString StdWeightText() const;
    // "12.3", "-20.0": one decimal, cut toward zero, so that the shown value never lies on
    // the other side of a class boundary than the class.
    QString ObesityText() const;
    // The class, "確認してください" or "判定できません".
    QString Label() const;
};

// Judges one pupil. The arithmetic is exact (integers), so a pupil exactly on a boundary
// (−30, −20, 20, 30, 50 %) falls in the class the method names. A height outside 70-200 cm, a
// weight outside 10-150 kg or an obesity degree outside −50 %…+150 % is implausible, with the
// reason, and not judged.
ObesityResult JudgeObesity(Sex sex, std::optional<int> age, QStringView height, QStringView weight);
