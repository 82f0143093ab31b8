#include <QTest>

#include "CsvLines.h"

Q_DECLARE_METATYPE(MeasureRecord)

namespace {
MeasureRecord Captions(const QString& first, const QString& second, const QString& third) {
    MeasureRecord r;
    r.SubLabel1 = first;
    r.SubLabel2 = second;
    r.SubLabel3 = third;
    return r;
}
}  // namespace

class CsvLinesTest : public QObject {
    Q_OBJECT

private slots:
    void labelLinesKeepFullWidthColonsAndIdeographicSpaces() {
        // タイトル, blank, U+FF1A, blank / 日, U+3000 x2, 付 / blank, 担当者, U+3000.
        // clang-format off
        const QByteArray expected =
            "\"\x83^\x83" "C\x83g\x83\x8b \x81" "F \",\"\x8fH\x82\xcc\x91\xaa\x92\xe8\"\r\n"
            "\"\x93\xfa\x81@\x81@\x95t \x81" "F \",\"2026/12/06\"\r\n"
            "\" \x92S\x93\x96\x8e\xd2\x81@\x81" "F \",\"\x8eR\x93" "c\"\r\n";
        // clang-format on
        QCOMPARE(CsvLines::LabelLines(QStringLiteral("  秋の測定 "),
                                      QStringLiteral("2026/12/06    "), QStringLiteral("山田")),
                 expected);
    }

    void headingLine_data() {
        QTest::addColumn<MeasureRecord>("captions");
        QTest::addColumn<QByteArray>("start");
        // clang-format off
        QTest::newRow("blank captions name the items by number")
            << Captions({}, QStringLiteral("   "), {})
            << QByteArray("\"No.\",\"\x8d\x80\x96\xda" "1\",\"\x8d\x80\x96\xda" "2\",\"\x8d\x80\x96\xda" "3\",");
        QTest::newRow("set captions trimmed, a blank one numbered")
            << Captions(QStringLiteral(" 組"), {}, QStringLiteral("氏名  "))
            << QByteArray("\"No.\",\"\x91g\",\"\x8d\x80\x96\xda" "2\",\"\x8e\x81\x96\xbc\",");
        // clang-format on
    }
    void headingLine() {
        QFETCH(MeasureRecord, captions);
        QFETCH(QByteArray, start);
        // 身長[cm] 体重[kg] BMI値 座高[cm] BMI適正体重[kg] 日比式適正体重(男性)[kg]
        // 日比式適正体重(女性)[kg] 日比式肥満度(男性)[%] 日比式肥満度(女性)[%]
        // clang-format off
        const QByteArray values =
            "\"\x90g\x92\xb7[cm]\",\"\x91\xcc\x8f" "d[kg]\",\"BMI\x92l\",\"\x8d\xc0\x8d\x82[cm]\","
            "\"BMI\x93K\x90\xb3\x91\xcc\x8f" "d[kg]\","
            "\"\x93\xfa\x94\xe4\x8e\xae\x93K\x90\xb3\x91\xcc\x8f" "d(\x92j\x90\xab)[kg]\","
            "\"\x93\xfa\x94\xe4\x8e\xae\x93K\x90\xb3\x91\xcc\x8f" "d(\x8f\x97\x90\xab)[kg]\","
            "\"\x93\xfa\x94\xe4\x8e\xae\x94\xec\x96\x9e\x93x(\x92j\x90\xab)[%]\","
            "\"\x93\xfa\x94\xe4\x8e\xae\x94\xec\x96\x9e\x93x(\x8f\x97\x90\xab)[%]\"\r\n";
        // clang-format on
        QCOMPARE(CsvLines::HeadingLine(captions), start + values);
    }

    void dataLine_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<MeasureRecord>("record");
        QTest::addColumn<QByteArray>("expected");
        MeasureRecord filled;
        filled.SubLabel1 = QStringLiteral("1年");
        filled.SubLabel2 = QStringLiteral("  3");
        filled.SubLabel3 = QStringLiteral("佐藤");
        filled.Values.SittingHeight = QStringLiteral("85.0");
        filled.Values.Height = QStringLiteral("  160.2");
        filled.Values.Bmi = QStringLiteral("19.7");
        filled.Values.Weight = QStringLiteral("   50.5");
        filled.Values.BmiStdWeight = QStringLiteral("56.31");
        filled.Values.HibiStdWeightMale = QStringLiteral("55.13");
        filled.Values.HibiStdWeightFemale = QStringLiteral("56.89");
        filled.Values.HibiObesityMale = QStringLiteral("-8.40");
        filled.Values.HibiObesityFemale = QStringLiteral("-11.23");
        MeasureRecord quoted;
        quoted.SubLabel1 = QStringLiteral("a\"b");
        quoted.SubLabel3 = QStringLiteral("x,y");
        // clang-format off
        QTest::newRow("filled: height, weight, BMI, sitting height, then the derived values")
            << 1 << filled
            << QByteArray("1,\"1\x94N\",\"3\",\"\x8d\xb2\x93\xa1\",\"160.2\",\"50.5\",\"19.7\",\"85.0\","
                          "\"56.31\",\"55.13\",\"56.89\",\"-8.40\",\"-11.23\"\r\n");
        QTest::newRow("all blank: twelve empty quoted items")
            << 1 << MeasureRecord{}
            << QByteArray("1,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
        QTest::newRow("a quote inside a text is doubled, a comma kept")
            << 1500 << quoted
            << QByteArray("1500,\"a\"\"b\",\"\",\"x,y\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
        // clang-format on
    }
    void dataLine() {
        QFETCH(int, number);
        QFETCH(MeasureRecord, record);
        QFETCH(QByteArray, expected);
        QCOMPARE(CsvLines::DataLine(number, record), expected);
        QCOMPARE(CsvLines::DataLineFromRecord(number, record.Encode()), expected);
    }

    // Stored bytes that are not plainly their text's CP932 give the line their text gives.
    void storedBytesGiveTheLineOfTheirText_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("NEC-selected IBM kanji, written back as the IBM one")
            << QByteArray("\xed\x40");
        QTest::newRow("undefined two-byte code") << QByteArray("\x85\x40");
        QTest::newRow("cut after a lead byte") << QByteArray(19, 'a') + '\x82';
        QTest::newRow("NUL and control bytes") << QByteArray("a\0b\x03c\x1f", 6);
        QTest::newRow("a lead byte before a space") << QByteArray("\x82 \x82\xa0");
    }
    void storedBytesGiveTheLineOfTheirText() {
        QFETCH(QByteArray, field);
        QByteArray record(150, ' ');
        record.replace(0, field.size(), field);                                     // item 1
        record.replace(90, field.size() > 10 ? 10 : field.size(), field.left(10));  // weight
        QCOMPARE(CsvLines::DataLineFromRecord(7, record),
                 CsvLines::DataLine(7, MeasureRecord::Decode(record)));
    }
};

QTEST_APPLESS_MAIN(CsvLinesTest)
#include "tst_csvlines.moc"
