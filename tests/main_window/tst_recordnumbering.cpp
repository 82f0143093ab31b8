#include <QTest>

#include "MeasuringState.h"
#include "RecordNumbering.h"
#include "mdlDataLoadFunc.h"

class RecordNumberingTest : public QObject {
    Q_OBJECT
private slots:
    void previousAndNextWrapAtTheEnds_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("previous");
        QTest::addColumn<int>("next");
        // count = records in the file, header records included
        QTest::newRow("middle of ten") << 4 << 12 << 3 << 5;
        QTest::newRow("No.1 of ten goes back to the last") << 0 << 12 << 9 << 1;
        QTest::newRow("last of ten goes on to No.1") << 9 << 12 << 8 << 0;
        QTest::newRow("only record") << 0 << 3 << 0 << 0;
        QTest::newRow("No.1500 of a full file") << 1499 << 1502 << 1498 << 0;
        QTest::newRow("file without No.1 stays at No.1") << 0 << 2 << 0 << 1;
        QTest::newRow("No.1 of an over-long file goes back to No.1500") << 0 << 3000 << 1499 << 1;
    }
    void previousAndNextWrapAtTheEnds() {
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(int, previous);
        QFETCH(int, next);
        QCOMPARE(RecordNumbering::PreviousIndex(index, count), previous);
        QCOMPARE(RecordNumbering::NextIndex(index, count), next);
    }

    void newRecordGoesDirectlyAfterTheLast_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("new set") << 3 << 4 << true;
        QTest::newRow("empty file") << 0 << 3 << true;
        QTest::newRow("header only") << 2 << 3 << true;
        QTest::newRow("No.1499 used") << 1501 << 1502 << true;
        QTest::newRow("full") << 1502 << 1503 << false;
    }
    void newRecordGoesDirectlyAfterTheLast() {
        QFETCH(int, count);
        QFETCH(int, position);
        QFETCH(bool, allowed);
        QCOMPARE(RecordNumbering::NewRecordPosition(count), position);
        QCOMPARE(RecordNumbering::CanCreateNew(count), allowed);
    }

    void typedNumbersOutsideOneTo1500AreRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");  // 0 = refused
        QTest::newRow("plain") << "20" << 20;
        QTest::newRow("leading zero") << "007" << 7;
        QTest::newRow("trailing text") << "12abc" << 12;
        QTest::newRow("decimal rounds") << "3.6" << 4;
        QTest::newRow("upper bound") << "1500" << 1500;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("above") << "1501" << 0;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("no digits") << "abc" << 0;
    }
    void typedNumbersOutsideOneTo1500AreRefused() {
        QFETCH(QString, text);
        QFETCH(int, number);
        const auto typed = RecordNumbering::TypedNumber(text);
        QCOMPARE(typed.value_or(0), number);
    }

    void windowTitleCarriesTitleAndAutoWriteMark_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty, off") << "" << false << "Hakaron ver.1.30";
        QTest::newRow("empty, on") << "" << true << "Hakaron ver.1.30～自動書き込みモード～";
        QTest::newRow("title, off") << "健診" << false << "健診 - Hakaron ver.1.30";
        QTest::newRow("title, on")
            << "健診" << true << "健診 - Hakaron ver.1.30～自動書き込みモード～";
    }
    void windowTitleCarriesTitleAndAutoWriteMark() {
        QFETCH(QString, title);
        QFETCH(bool, autoOn);
        QFETCH(QString, expected);
        QCOMPARE(mdlDataLoadFunc::WindowTitle(title, autoOn), expected);
    }

    void valueLabelsShowNameSpacesValueAndUnit() {
        MeasureValues v;
        v.Height = QStringLiteral("170.0");
        v.Weight = QStringLiteral("65.4");
        v.Bmi = QStringLiteral("22.3");
        const auto labels = mdlDataLoadFunc::BuildValueLabels(v);
        QCOMPARE(labels.Height, QStringLiteral("身長   170.0cm"));
        QCOMPARE(labels.Weight, QStringLiteral("体重   65.4kg"));
        QCOMPARE(labels.SittingHeight, QStringLiteral("座高   --"));
        QCOMPARE(labels.FatRatio, QStringLiteral("BMI値  22.3"));
        QCOMPARE(labels.BmiResult, QStringLiteral("22.3"));
        QVERIFY(labels.AnyValue);
        const auto blank = mdlDataLoadFunc::BuildValueLabels(MeasureValues{});
        QCOMPARE(blank.FatRatio, QStringLiteral("BMI値  --"));
        QCOMPARE(blank.BmiResult, QStringLiteral("--"));
        QVERIFY(!blank.AnyValue);
    }

    void blankCaptionsShowTheirItemNumber() {
        QCOMPARE(mdlDataLoadFunc::SubLabelCaption(QStringLiteral("   "), 2),
                 QStringLiteral("項目2"));
        QCOMPARE(mdlDataLoadFunc::SubLabelCaption(QStringLiteral(" 氏名 "), 1),
                 QStringLiteral("氏名"));
    }

    // From No. 1 on: "M" height and weight, "P" a height only, "S" a sitting height only,
    // "N" a name only, "-" blank.
    void dayCarriesOnAfterTheLastMeasuredNumber_data() {
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("progress");
        // clang-format off
        QTest::newRow("nothing at all")          << "---"   << "測定済み 0 / 0 名　次の未測定: No.1";
        QTest::newRow("a roster, none measured") << "NNN"   << "測定済み 0 / 3 名　次の未測定: No.1";
        QTest::newRow("gaps before the last")    << "M-S--" << "測定済み 2 / 3 名　次の未測定: No.4";
        QTest::newRow("every number measured")   << "MM"    << "測定済み 2 / 2 名　次の未測定: No.3";
        QTest::newRow("a restart at No.1 of a full roster") << "MMMN" << "測定済み 3 / 4 名　次の未測定: No.4";
        QTest::newRow("blank after the last not counted")   << "MMN--" << "測定済み 2 / 3 名　次の未測定: No.3";
        QTest::newRow("half people stop the way on")        << "MMPPNN" << "測定済み 2 / 6 名（一部のみ 2）　次の未測定: No.3";
        QTest::newRow("half a person before the last")      << "MPMM-" << "測定済み 3 / 4 名（一部のみ 1）　次の未測定: No.2";
        // clang-format on
    }
    void dayCarriesOnAfterTheLastMeasuredNumber() {
        QFETCH(QString, numbers);
        QFETCH(QString, progress);
        QList<RecordNumbering::RecordState> states;
        for (QChar c : numbers) {
            MeasureRecord r;
            if (c == u'M' || c == u'P') r.Values.Height = u"150.0"_qs;
            if (c == u'M') r.Values.Weight = u"40.0"_qs;
            if (c == u'S') r.Values.SittingHeight = u"80.0"_qs;
            if (c == u'N') r.SubLabel2 = u"1年2組"_qs;
            states << RecordNumbering::StateOf(r);
        }
        QCOMPARE(MeasuringState::ProgressText(states), progress);
    }

    // What a reading does to those on display: "h" height, "w" weight, "s" sitting height.
    void aReadingAfterAWholePersonStartsAnother_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<int>("arrival");
        QTest::addColumn<int>("replaced");
        using A = MeasuringState::Arrival;
        // clang-format off
        QTest::newRow("first height")                   << ""   << "h" << false << int(A::Store) << 0;
        QTest::newRow("weight after height")            << "h"  << "w" << false << int(A::Store) << 0;
        QTest::newRow("height after weight alone")      << "w"  << "h" << false << int(A::Store) << 0;
        QTest::newRow("height again")                   << "h"  << "h" << true  << int(A::ReplaceSame) << 1;
        QTest::newRow("next person, write pending")     << "hw" << "h" << true  << int(A::WritePreviousFirst) << 0;
        QTest::newRow("next person, manual")            << "hw" << "h" << false << int(A::ReplacePerson) << 2;
        QTest::newRow("next person by sitting height")  << "sw" << "s" << false << int(A::ReplacePerson) << 2;
        QTest::newRow("weight again after whole")       << "hw" << "w" << false << int(A::ReplaceSame) << 1;
        // clang-format on
    }
    void aReadingAfterAWholePersonStartsAnother() {
        QFETCH(QString, before);
        QFETCH(QString, reading);
        QFETCH(bool, pending);
        QFETCH(int, arrival);
        QFETCH(int, replaced);
        const auto kind = [](QChar c) {
            return c == u'h'   ? MeasuredQuantity::Height
                   : c == u'w' ? MeasuredQuantity::Weight
                               : MeasuredQuantity::SittingHeight;
        };
        MeasuringState state;
        int id = 0;
        for (QChar c : before) state.Take({kind(c), u"1"_qs, ++id});
        const auto a = state.OnArrival(kind(reading[0]), pending);
        QCOMPARE(int(a), arrival);
        QCOMPARE(state.ReplacedBy(a, kind(reading[0])).size(), replaced);
    }
};

QTEST_APPLESS_MAIN(RecordNumberingTest)
#include "tst_recordnumbering.moc"
