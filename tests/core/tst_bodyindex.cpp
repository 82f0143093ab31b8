#include <QTest>
#include <memory>

#include "G_Param.h"
#include "TestProgramFolder.h"
#include "mdlStandard.h"

// Expected values were worked out independently of this code (double arithmetic, then
// decimal rounding by hand).
class TestBodyIndex : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;

private slots:
    void init() { m_folder = std::make_unique<TestProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void weightIndicesFromHeightAndWeight_data() {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<WeightIndices>("expected");
        QTest::newRow("170 cm 60 kg")
            << u"170"_qs << u"60"_qs << WeightIndices{u"20.8"_qs,  u"63.58"_qs, u"63.24"_qs,
                                                      u"63.70"_qs, u"-5.12"_qs, u"-5.81"_qs};
        QTest::newRow("99.9 cm: no BMI, Hibi computed")
            << u"99.9"_qs << u"60"_qs
            << WeightIndices{{}, {}, u"15.42"_qs, u"15.33"_qs, u"289.10"_qs, u"291.26"_qs};
        QTest::newRow("9.9 kg: no BMI, Hibi computed")
            << u"170"_qs << u"9.9"_qs
            << WeightIndices{{}, {}, u"63.24"_qs, u"63.70"_qs, u"-84.35"_qs, u"-84.46"_qs};
        QTest::newRow("100 cm 10 kg is inside both guards")
            << u"100"_qs << u"10"_qs << WeightIndices{u"10"_qs,    u"22.00"_qs,  u"15.45"_qs,
                                                      u"15.36"_qs, u"-35.27"_qs, u"-34.89"_qs};
        QTest::newRow("BMI of exactly 22")
            << u"200"_qs << u"88"_qs << WeightIndices{u"22"_qs,     u"88.00"_qs,  u"119.54"_qs,
                                                      u"112.93"_qs, u"-26.38"_qs, u"-22.07"_qs};
        QTest::newRow("padded texts") << u" 165.3    "_qs << u"  52.4"_qs
                                      << WeightIndices{u"19.2"_qs,  u"60.11"_qs, u"57.05"_qs,
                                                       u"57.87"_qs, u"-8.15"_qs, u"-9.45"_qs};
        QTest::newRow("blank height") << u"          "_qs << u"60"_qs << WeightIndices{};
        QTest::newRow("blank weight") << u"170"_qs << QString() << WeightIndices{};
        QTest::newRow("text height") << u"abc"_qs << u"60"_qs << WeightIndices{};
    }
    void weightIndicesFromHeightAndWeight() {
        QFETCH(QString, height);
        QFETCH(QString, weight);
        QFETCH(WeightIndices, expected);
        QCOMPARE(ComputeWeightIndices(height, weight), expected);
    }

    void bmiRoundsHundredthsToEvenThenTenthsUp_data() {
        QTest::addColumn<double>("raw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("21.57") << 21.57 << u"21.6"_qs;
        QTest::newRow("21.55") << 21.55 << u"21.6"_qs;
        QTest::newRow("21.54") << 21.54 << u"21.5"_qs;
        QTest::newRow("hundredths tie to even down: 21.545") << 21.545 << u"21.5"_qs;
        QTest::newRow("hundredths tie to even down: 21.445") << 21.445 << u"21.4"_qs;
        QTest::newRow("hundredths tie to even up: 21.555") << 21.555 << u"21.6"_qs;
        QTest::newRow("two steps: 21.549") << 21.549 << u"21.6"_qs;
        QTest::newRow("170 cm 60 kg") << 60.0 / (170.0 * 170.0 / 10000.0) << u"20.8"_qs;
        QTest::newRow("whole") << 22.0 << u"22"_qs;
        QTest::newRow("whole tens") << 20.0 << u"20"_qs;
        QTest::newRow("hundred") << 100.0 << u"100"_qs;
        QTest::newRow("tens and tenth") << 30.04 << u"30"_qs;
        QTest::newRow("never an exponent") << 1000000.0 << u"1000000"_qs;
    }
    void bmiRoundsHundredthsToEvenThenTenthsUp() {
        QFETCH(double, raw);
        QFETCH(QString, expected);
        QCOMPARE(ShortestText(RoundBmi(raw)), expected);
    }

    // The ten-decimal text is rounded, not the binary value.
    void twoDecimalsRoundsTheDecimalText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored just below: 2.675") << 2.675 << u"2.68"_qs;
        QTest::newRow("stored just below: 1.005") << 1.005 << u"1.01"_qs;
        QTest::newRow("negative") << -63.575 << u"-63.58"_qs;
        QTest::newRow("negative rounding to zero has no sign") << -0.001 << u"0.00"_qs;
        QTest::newRow("carry into the whole number") << 99.995 << u"100.00"_qs;
        QTest::newRow("tie at the tenth decimal") << 0.00048828125 << u"0.00"_qs;
        QTest::newRow("smallest double") << 5e-324 << u"0.00"_qs;
        QTest::newRow("largest formatted exactly") << 999999999999999.9 << u"999999999999999.88"_qs;
        QTest::newRow("1e15 and beyond") << 1e15 << u"1000000000000000.00"_qs;
        QTest::newRow("infinite") << qInf() << u"inf"_qs;
    }
    void twoDecimalsRoundsTheDecimalText() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(TwoDecimals(value), expected);
    }

    void ensureDecimal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << u"170"_qs << u"170.0"_qs;
        QTest::newRow("decimal unchanged") << u"170.5"_qs << u"170.5"_qs;
        QTest::newRow("empty unchanged") << QString() << QString();
        QTest::newRow("spaces unchanged") << u"   "_qs << u"   "_qs;
        QTest::newRow("padded whole") << u" 65 "_qs << u"65.0"_qs;
        QTest::newRow("BMI 22") << u"22"_qs << u"22.0"_qs;
    }
    void ensureDecimal() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        EnsureDecimal(text);
        QCOMPARE(text, expected);
    }

    void numericValueReadsTheLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("leading space") << u" 170.2"_qs << 170.2;
        QTest::newRow("spaces inside") << u"1 7 0"_qs << 170.0;
        QTest::newRow("no number") << u"abc"_qs << 0.0;
        QTest::newRow("negative") << u"-5"_qs << -5.0;
        QTest::newRow("number then text") << u"12abc"_qs << 12.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("second point ends it") << u"1.2.3"_qs << 1.2;
        QTest::newRow("padded field") << u"60.0      "_qs << 60.0;
        QTest::newRow("exponent") << u"1.5e2"_qs << 150.0;
        QTest::newRow("exponent without digits ends it") << u"12e"_qs << 12.0;
        QTest::newRow("out of range") << u"1e400"_qs << 0.0;
        QTest::newRow("sixteen digits") << u"1234567890123456"_qs << 1234567890123456.0;
        QTest::newRow("more decimals than a double holds") << u"0.1000000000000000055511"_qs << 0.1;
        QTest::newRow("sign apart from its digits") << u" - 12.5"_qs << -12.5;
        QTest::newRow("plus sign") << u"+3"_qs << 3.0;
    }
    void numericValueReadsTheLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(NumericValue(text), expected);
    }

    void processWeightStoresValuesAndReturnsThePrintLine_data() {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("bmi");
        QTest::addColumn<QString>("stdWeight");
        QTest::newRow("60") << u"60"_qs << u"体重60kg"_qs << u"20.8"_qs << u"63.58"_qs;
        QTest::newRow("leading spaces kept")
            << u"   60.0"_qs << u"体重   60.0kg"_qs << u"20.8"_qs << u"63.58"_qs;
        QTest::newRow("blank") << QString() << QString() << QString() << QString();
    }
    void processWeightStoresValuesAndReturnsThePrintLine() {
        QFETCH(QString, weight);
        QFETCH(QString, line);
        QFETCH(QString, bmi);
        QFETCH(QString, stdWeight);
        G_Param.CurrentValues.Height = u"170"_qs;
        G_Param.CurrentValues.Bmi = u"99"_qs;
        G_Param.RecordBuffer.Values.Height = u"155"_qs;
        G_Param.RecordBuffer.Values.Bmi = u"old"_qs;

        QCOMPARE(ProcessWeight(weight), line);

        const MeasureValues& cv = G_Param.CurrentValues;
        const MeasureValues& rb = G_Param.RecordBuffer.Values;
        QCOMPARE(cv.Weight.Value(), Text10(weight).Value());
        QCOMPARE(cv.Bmi.Trimmed(), bmi);
        QCOMPARE(cv.BmiStdWeight.Trimmed(), stdWeight);
        QCOMPARE(cv.Height.Trimmed(), u"170"_qs);
        // The weight and five derived values go to the record; BMI and height do not.
        for (auto field : {&MeasureValues::Weight, &MeasureValues::BmiStdWeight,
                           &MeasureValues::HibiStdWeightMale, &MeasureValues::HibiStdWeightFemale,
                           &MeasureValues::HibiObesityMale, &MeasureValues::HibiObesityFemale})
            QCOMPARE(rb.*field, cv.*field);
        QCOMPARE(rb.Bmi.Trimmed(), u"old"_qs);
        QCOMPARE(rb.Height.Trimmed(), u"155"_qs);
        QCOMPARE(cv.HibiObesityFemale.Trimmed(), weight.isEmpty() ? QString() : u"-5.81"_qs);
    }

    void bmiOfExactly22IsStoredWholeAndShownWithDecimal() {
        G_Param.CurrentValues.Height = u"200"_qs;
        ProcessWeight(u"88"_qs);
        QCOMPARE(G_Param.CurrentValues.Bmi.Value(), u"22        "_qs);
        MeasureRecord stored;
        stored.Values.Bmi = G_Param.CurrentValues.Bmi;
        QCOMPARE(stored.Encode().mid(80, 10), QByteArray("22        "));
        QString shown = MeasureRecord::Decode(stored.Encode()).Values.Bmi.Trimmed();
        EnsureDecimal(shown);
        QCOMPARE(shown, u"22.0"_qs);
    }
};

QTEST_GUILESS_MAIN(TestBodyIndex)
#include "tst_bodyindex.moc"
