#include <QTest>

#include "ClassSummary.h"

// Expected values worked out by hand from the published coefficients, e.g. a boy of 12 at
// 154.0 cm: 0.783 × 154 − 75.642 = 44.94 kg; 20 % over it is 53.928 kg exactly.
class SchoolObesityTest : public QObject {
    Q_OBJECT

    static MeasureRecord Record(const QString& sex, const QString& age, const QString& height,
                                const QString& weight) {
        MeasureRecord r;
        r.SubLabel1 = sex;
        r.SubLabel2 = age;
        r.SubLabel3 = QStringLiteral("2組");
        r.Values.Height = height;
        r.Values.Weight = weight;
        return r;
    }

private slots:
    void judgesByTheSchoolMethod_data() {
        QTest::addColumn<QString>("sex");  // item 1
        QTest::addColumn<QString>("age");  // item 2: years or grade
        QTest::addColumn<int>("source");   // 0 age item, 1 grade item, 2 one age for all (12)
        QTest::addColumn<int>("school");   // for grades without their school
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("expected");  // sex, age, standard weight, degree, class
        // clang-format off
        QTest::newRow("12 boy 154 cm: 44.9 kg") << "男" << "12" << 0 << 0 << "154.0" << "44.94" << "男 12 44.9 0.0 普通";
        QTest::newRow("exactly +20 %") << "男" << "12" << 0 << 0 << "154.0" << "53.928" << "男 12 44.9 20.0 軽度肥満";
        QTest::newRow("just under +20 %") << "男" << "12" << 0 << 0 << "154.0" << "53.9279" << "男 12 44.9 19.9 普通";
        QTest::newRow("exactly +30 %") << "男" << "12歳" << 0 << 0 << "154" << "58.422" << "男 12 44.9 30.0 中等度肥満";
        QTest::newRow("exactly -20 %") << "M" << "12" << 0 << 0 << "154.0" << "35.952" << "男 12 44.9 -20.0 やせ";
        QTest::newRow("just over -20 %") << "M" << "12" << 0 << 0 << "154.0" << "35.9521" << "男 12 44.9 -19.9 普通";
        QTest::newRow("exactly -30 %") << "1" << "中1" << 1 << 0 << "154.0" << "31.458" << "男 12 44.9 -30.0 高度やせ";
        QTest::newRow("1年 at a junior high") << "男子" << "1年3組" << 1 << 2 << "154.0" << "67.41" << "男 12 44.9 50.0 高度肥満";
        QTest::newRow("one age for the set") << "ｍ" << "" << 2 << 0 << "154.0" << "67.4099" << "男 12 44.9 49.9 中等度肥満";
        QTest::newRow("girl of 5, +30 %") << "女" << "5" << 0 << 0 << "110.0" << "24.336" << "女 5 18.7 30.0 中等度肥満";
        QTest::newRow("girl of 5, -30 %") << "f" << "５歳" << 0 << 0 << "110.0" << "13.104" << "女 5 18.7 -30.0 高度やせ";
        QTest::newRow("boy of 5") << "１" << "5" << 0 << 0 << "110.0" << "18.761" << "男 5 18.8 0.0 普通";
        QTest::newRow("boy of 17, +50 %") << "男" << "高3" << 1 << 0 << "170.0" << "90.897" << "男 17 60.6 50.0 高度肥満";
        QTest::newRow("boy of 17, -20 %") << "男" << "17" << 0 << 0 << "170.0" << "48.4784" << "男 17 60.6 -20.0 やせ";
        QTest::newRow("girl of 17") << "女子" << "17" << 0 << 0 << "158.0" << "50.0" << "女 17 52.1 -4.1 普通";
        QTest::newRow("小6 is 11") << "2" << "小6" << 1 << 0 << "145.0" << "37.65" << "女 11 37.6 0.1 普通";
        QTest::newRow("unknown sex") << "X" << "12" << 0 << 0 << "154.0" << "44.9" << "不明 12 判定できません 性別が不明です";
        QTest::newRow("grade without its school") << "男" << "1年" << 1 << 0 << "154.0" << "44.9" << "男 - 判定できません 年齢が不明です";
        QTest::newRow("grade the school lacks") << "男" << "4年" << 1 << 2 << "154.0" << "44.9" << "男 - 判定できません 年齢が不明です";
        QTest::newRow("age of 18") << "男" << "18" << 0 << 0 << "170.0" << "60.0" << "男 18 判定できません 18歳は5～17歳の範囲外です";
        QTest::newRow("no height") << "男" << "12" << 0 << 0 << "" << "44.9" << "男 12 判定できません 身長がありません";
        QTest::newRow("no weight") << "男" << "12" << 0 << 0 << "154.0" << "" << "男 12 判定できません 体重がありません";
        QTest::newRow("too short for the line") << "男" << "5" << 0 << 0 << "60.0" << "10.0" << "男 5 判定できません 身長が低すぎて標準体重を求められません";
        // clang-format on
    }
    void judgesByTheSchoolMethod() {
        QFETCH(QString, sex);
        QFETCH(QString, age);
        QFETCH(int, source);
        QFETCH(int, school);
        QFETCH(QString, height);
        QFETCH(QString, weight);
        QFETCH(QString, expected);
        SummaryChoice choice;
        choice.SexItem = 1;
        choice.Source = AgeSource(source);
        choice.AgeItem = 2;
        choice.GradeItem = 2;
        choice.GradeSchool = School(school);
        choice.Age = 12;
        const QList<Pupil> pupils = ReadPupils({Record(sex, age, height, weight)}, choice);
        QCOMPARE(pupils.size(), 1);
        const Pupil& p = pupils[0];
        QStringList got{SexText(p.PupilSex), p.Age ? QString::number(*p.Age) : QStringLiteral("-")};
        if (p.Result.Judged)
            got << p.Result.StdWeightText() << p.Result.ObesityText()
                << JudgementText(p.Result.Class);
        else
            got << kNotJudged << p.Result.Reason;
        QCOMPARE(got.join(u' '), expected);
    }

    // Two classes of 12-year-olds; 2組: boys 150.0 cm / 50.2 kg (20.07 %, 軽度肥満) and
    // 154.0 / 44.9 (普通), a girl 148.0 / 32.0 (−21.7 %, やせ), a pupil not measured; 10組: a
    // boy 160.0 / 50.0 (普通) and a pupil of unknown sex 140.0 / 35.0.
    void groupStatisticsByHand() {
        const QList<MeasureRecord> records{
            Record(QStringLiteral("男"), {}, QStringLiteral("150.0"), QStringLiteral("50.2")),
            Record(QStringLiteral("男"), {}, QStringLiteral("154.0"), QStringLiteral("44.9")),
            Record(QStringLiteral("女"), {}, QStringLiteral("148.0"), QStringLiteral("32.0")),
            Record(QStringLiteral("男"), {}, {}, {}),
            Record(QStringLiteral("男"), {}, QStringLiteral("160.0"), QStringLiteral("50.0")),
            Record({}, {}, QStringLiteral("140.0"), QStringLiteral("35.0"))};
        QList<MeasureRecord> set = records;
        set[4].SubLabel3 = set[5].SubLabel3 = QStringLiteral("10組");
        SummaryChoice choice;
        choice.SexItem = 1;
        choice.Source = AgeSource::WholeSet;
        choice.Age = 12;
        const QList<GroupRow> rows = GroupStatistics(ReadPupils(set, choice), 3);
        QStringList order;
        for (const GroupRow& row : rows) order << row.Group + row.SexLabel;
        QCOMPARE(order, QStringList({"2組男", "2組女", "2組計", "10組男", "10組計", "全体男",
                                     "全体女", "全体計"}));
        const GroupRow& boys = rows[0];
        QCOMPARE(boys.Measured, 2);
        QCOMPARE(boys.Height.Mean, 152.0);
        QCOMPARE(boys.Height.Sd, 2.0);  // population: sqrt((4 + 4) / 2); a sample's would be 2.83
        const GroupRow& class2 = rows[2];
        QCOMPARE(class2.Measured, 3);
        QVERIFY(qAbs(class2.Height.Mean - 150.6667) < 1e-4);
        QVERIFY(qAbs(class2.Height.Sd - 2.4944) < 1e-4);  // sqrt((0.444 + 11.111 + 7.111) / 3)
        QCOMPARE(class2.Classes, (std::array<int, JudgementCount>{0, 1, 1, 1, 0, 0}));
        QCOMPARE(class2.ObeseShare(), 100.0 / 3);
        QCOMPARE(class2.ThinShare(), 100.0 / 3);
        const GroupRow& class10 = rows[4];
        QCOMPARE(class10.Measured, 2);
        QCOMPARE(class10.NotJudged, 1);
        QCOMPARE(class10.Height.Sd, 10.0);
        QCOMPARE(class10.ObeseShare(), 0.0);
        QCOMPARE(rows[7].Measured, 5);
    }
};

QTEST_APPLESS_MAIN(SchoolObesityTest)
#include "tst_schoolobesity.moc"
