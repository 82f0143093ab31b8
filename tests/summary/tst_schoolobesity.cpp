#include <QTest>

#include "ClassSummary.h"
#include "SummarySettings.h"

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
        QTest::newRow("12 boy 154 cm: 44.9 kg") << "男" << "12" << 0 << 0 << "154.0" << "44.94" << "男 12 44.94 0.0 普通";
        QTest::newRow("exactly +20 %") << "男" << "12" << 0 << 0 << "154.0" << "53.928" << "男 12 44.94 20.0 軽度肥満";
        QTest::newRow("just under +20 %") << "男" << "12" << 0 << 0 << "154.0" << "53.9279" << "男 12 44.94 19.9 普通";
        QTest::newRow("exactly +30 %") << "男" << "12歳" << 0 << 0 << "154" << "58.422" << "男 12 44.94 30.0 中等度肥満";
        QTest::newRow("exactly -20 %") << "M" << "12" << 0 << 0 << "154.0" << "35.952" << "男 12 44.94 -20.0 やせ";
        QTest::newRow("just over -20 %") << "M" << "12" << 0 << 0 << "154.0" << "35.9521" << "男 12 44.94 -19.9 普通";
        QTest::newRow("exactly -30 %") << "1" << "中1" << 1 << 0 << "154.0" << "31.458" << "男 12 44.94 -30.0 高度やせ";
        QTest::newRow("1年 at a junior high") << "男子" << "1年3組" << 1 << 2 << "154.0" << "67.41" << "男 12 44.94 50.0 高度肥満";
        QTest::newRow("one age for the set") << "ｍ" << "" << 2 << 0 << "154.0" << "67.4099" << "男 12 44.94 49.9 中等度肥満";
        QTest::newRow("girl of 5, +30 %") << "女" << "5" << 0 << 0 << "110.0" << "24.336" << "女 5 18.72 30.0 中等度肥満";
        QTest::newRow("girl of 5, -30 %") << "f" << "５歳" << 0 << 0 << "110.0" << "13.104" << "女 5 18.72 -30.0 高度やせ";
        QTest::newRow("boy of 5") << "１" << "5" << 0 << 0 << "110.0" << "18.761" << "男 5 18.76 0.0 普通";
        QTest::newRow("boy of 17, +50 %") << "男" << "高3" << 1 << 0 << "170.0" << "90.897" << "男 17 60.60 50.0 高度肥満";
        QTest::newRow("boy of 17, -20 %") << "男" << "17" << 0 << 0 << "170.0" << "48.4784" << "男 17 60.60 -20.0 やせ";
        QTest::newRow("girl of 17") << "女子" << "17" << 0 << 0 << "158.0" << "50.0" << "女 17 52.15 -4.1 普通";
        QTest::newRow("小6 is 11") << "2" << "小6" << 1 << 0 << "145.0" << "37.65" << "女 11 37.59 0.1 普通";
        QTest::newRow("unknown sex") << "X" << "12" << 0 << 0 << "154.0" << "44.9" << "不明 12 判定できません 性別が不明です";
        QTest::newRow("grade without its school") << "男" << "1年" << 1 << 0 << "154.0" << "44.9" << "男 - 判定できません 年齢が不明です";
        QTest::newRow("grade the school lacks") << "男" << "4年" << 1 << 2 << "154.0" << "44.9" << "男 - 判定できません 年齢が不明です";
        QTest::newRow("age of 18") << "男" << "18" << 0 << 0 << "170.0" << "60.0" << "男 18 判定できません 18歳は5～17歳の範囲外です";
        QTest::newRow("no height") << "男" << "12" << 0 << 0 << "" << "44.9" << "男 12 判定できません 身長がありません";
        QTest::newRow("no weight") << "男" << "12" << 0 << 0 << "154.0" << "" << "男 12 判定できません 体重がありません";
        QTest::newRow("7年 at a 義務教育学校") << "男" << "7年" << 1 << 4 << "154.0" << "44.94" << "男 12 44.94 0.0 普通";
        QTest::newRow("4年 at a 中等教育学校") << "男" << "4年1組" << 1 << 5 << "165.0" << "55.401" << "男 15 55.40 0.0 普通";
        QTest::newRow("10年 at a 義務教育学校") << "男" << "10年" << 1 << 4 << "154.0" << "44.9" << "男 - 判定できません 年齢が不明です";
        QTest::newRow("height 69.9") << "男" << "5" << 0 << 0 << "69.9" << "10.0" << "男 5 確認してください 身長 69.9 cm は70～200 cmの範囲外です";
        QTest::newRow("height 200.0") << "男" << "17" << 0 << 0 << "200.0" << "80.758" << "男 17 80.76 0.0 普通";
        QTest::newRow("height 1540") << "男" << "12" << 0 << 0 << "1540" << "449" << "男 12 確認してください 身長 1540 cm は70～200 cmの範囲外です";
        QTest::newRow("weight 150.0") << "男" << "17" << 0 << 0 << "200.0" << "150.0" << "男 17 80.76 85.7 高度肥満";
        QTest::newRow("weight 150.1") << "男" << "17" << 0 << 0 << "200.0" << "150.1" << "男 17 確認してください 体重 150.1 kg は10～150 kgの範囲外です";
        QTest::newRow("weight 10.0") << "女" << "5" << 0 << 0 << "100.0" << "10.0" << "女 5 14.95 -33.1 高度やせ";
        QTest::newRow("weight 9.9") << "女" << "5" << 0 << 0 << "100.0" << "9.9" << "女 5 確認してください 体重 9.9 kg は10～150 kgの範囲外です";
        QTest::newRow("exactly -50 %") << "男" << "12" << 0 << 0 << "154.0" << "22.47" << "男 12 44.94 -50.0 高度やせ";
        QTest::newRow("below -50 %") << "男" << "12" << 0 << 0 << "154.0" << "22.4699" << "男 12 確認してください 肥満度が−50～+150%の範囲外です";
        QTest::newRow("exactly +150 %") << "男" << "12" << 0 << 0 << "154.0" << "112.35" << "男 12 44.94 150.0 高度肥満";
        QTest::newRow("above +150 %") << "男" << "12" << 0 << 0 << "154.0" << "112.3501" << "男 12 確認してください 肥満度が−50～+150%の範囲外です";
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
            got << p.Result.Label() << p.Result.Reason;
        QCOMPARE(got.join(u' '), expected);
    }

    // 身長別標準体重 = a × height − b, from the published table (学校保健統計調査).
    void coefficientsAsPublished_data() {
        QTest::addColumn<int>("age");
        QTest::addColumn<QString>("male");  // a b
        QTest::addColumn<QString>("female");
        // clang-format off
        QTest::newRow("5") << 5 << "0.386 23.699" << "0.377 22.750";
        QTest::newRow("6") << 6 << "0.461 32.382" << "0.458 32.079";
        QTest::newRow("7") << 7 << "0.513 38.878" << "0.508 38.367";
        QTest::newRow("8") << 8 << "0.592 48.804" << "0.561 45.006";
        QTest::newRow("9") << 9 << "0.687 61.390" << "0.652 56.992";
        QTest::newRow("10") << 10 << "0.752 70.461" << "0.730 68.091";
        QTest::newRow("11") << 11 << "0.782 75.106" << "0.803 78.846";
        QTest::newRow("12") << 12 << "0.783 75.642" << "0.796 76.934";
        QTest::newRow("13") << 13 << "0.815 81.348" << "0.655 54.234";
        QTest::newRow("14") << 14 << "0.832 83.695" << "0.594 43.264";
        QTest::newRow("15") << 15 << "0.766 70.989" << "0.560 37.002";
        QTest::newRow("16") << 16 << "0.656 51.822" << "0.578 39.057";
        QTest::newRow("17") << 17 << "0.672 53.642" << "0.598 42.339";
        // clang-format on
    }
    void coefficientsAsPublished() {
        QFETCH(int, age);
        QFETCH(QString, male);
        QFETCH(QString, female);
        const auto text = [age](Sex sex) {
            const Coefficients c = CoefficientsFor(sex, age).value();
            return QStringLiteral("%1 %2")
                .arg(c.AMilli / 1000.0, 0, 'f', 3)
                .arg(c.BMilli / 1000.0, 0, 'f', 3);
        };
        QCOMPARE(text(Sex::Male), male);
        QCOMPARE(text(Sex::Female), female);
    }

    // Means of readings to 0.1 cm, rounded as the decimals they are.
    void meansRoundHalfUp_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("mean");
        QTest::addColumn<QString>("sd");
        QTest::newRow("142.95") << QList<double>{142.9, 143.0} << "143.0"
                                << "0.05";
        QTest::newRow("0.05 below") << QList<double>{0.0, 0.1} << "0.1"
                                    << "0.05";
        QTest::newRow("not a tie") << QList<double>{142.9, 142.9, 143.0} << "142.9"
                                   << "0.05";
        QTest::newRow("149.15") << QList<double>{149.1, 149.2} << "149.2"
                                << "0.05";
    }
    void meansRoundHalfUp() {
        QFETCH(QList<double>, values);
        QFETCH(QString, mean);
        QFETCH(QString, sd);
        const Spread spread = SpreadOf(values);
        QCOMPARE(DecimalText(spread.Mean, 1), mean);
        QCOMPARE(DecimalText(spread.Sd, 2), sd);
    }

    void captionsGuessTheItems_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("expected");  // sex age grade group source
        QTest::newRow("性別 学年 組") << QStringList{"性別", "学年", "組"} << "1 0 2 3 1";
        QTest::newRow("氏名 first") << QStringList{"氏名", "男女", "年齢"} << "2 3 0 0 0";
        QTest::newRow("3年2組 in one item") << QStringList{"氏名", "性別", "組"} << "2 0 3 3 1";
        QTest::newRow("クラス") << QStringList{"クラス", "名前", "性"} << "0 0 1 1 1";
        QTest::newRow("nothing known") << QStringList{"氏名", "番号", "備考"} << "0 0 0 0 2";
        QTest::newRow("学年名 names nobody")
            << QStringList{"学年名簿", "性別", "年齢"} << "2 3 0 0 0";
    }
    void captionsGuessTheItems() {
        QFETCH(QStringList, captions);
        QFETCH(QString, expected);
        const SummaryChoice c = SummarySettings::Guess(captions);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(c.SexItem)
                     .arg(c.AgeItem)
                     .arg(c.GradeItem)
                     .arg(c.GroupItem)
                     .arg(static_cast<int>(c.Source)),
                 expected);
    }

    // 12-year-old boys at 154.0 cm (44.94 kg): the most serious first, then group, then No.
    void doctorsListBySeverityGroupAndNumber() {
        const QList<std::pair<QString, QString>> pupils{
            {"2組", "53.928"}, {"10組", "35.952"}, {"", "67.41"},     {"2組", "31.458"},
            {"10組", "67.41"}, {"2組", "67.41"},   {"2組", "58.422"}, {"2組", "44.94"}};
        QList<MeasureRecord> records;
        for (const auto& [group, weight] : pupils)
            records << Record(QStringLiteral("男"), QStringLiteral("12"), QStringLiteral("154.0"),
                              weight);
        for (qsizetype i = 0; i < pupils.size(); ++i) records[i].SubLabel3 = pupils[i].first;
        SummaryChoice choice;
        choice.SexItem = 1;
        choice.Source = AgeSource::AgeItem;
        choice.AgeItem = 2;
        QStringList order;
        for (const Pupil& p : DoctorList(ReadPupils(records, choice), 3))
            order << QString::number(p.Number);
        // 高度肥満 2組 6, 10組 5, （なし） 3; 中等度 7; 軽度 1; 高度やせ 4; やせ 2.
        QCOMPARE(order.join(u' '), QStringLiteral("6 5 3 7 1 4 2"));
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
            Record({}, {}, QStringLiteral("140.0"), QStringLiteral("35.0")),
            Record(QStringLiteral("男"), {}, QStringLiteral("1540"), QStringLiteral("449"))};
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
        QCOMPARE(class2.Measured, 3);  // 1540 cm / 449 kg is left out of every figure
        QCOMPARE(class2.LeftOut, 1);
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
