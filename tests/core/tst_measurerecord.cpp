#include <QTest>

#include "MeasureRecord.h"

namespace {
QByteArray Spaces(int n) {
    return QByteArray(n, ' ');
}

MeasureRecord KnownRecord() {
    MeasureRecord r;
    r.SubLabel1 = u"山田太郎"_qs;
    r.SubLabel2 = u"1～2組"_qs;
    r.SubLabel3 = u"Aあいうえおかきくけこ"_qs;  // 21 bytes: こ would be split
    r.Values.SittingHeight = u"90.5"_qs;
    r.Values.Height = u"170.2"_qs;
    r.Values.Bmi = u"20.8"_qs;
    r.Values.Weight = u"60.0"_qs;
    r.Values.BmiStdWeight = u"63.58"_qs;
    r.Values.HibiStdWeightMale = u"63.24"_qs;
    r.Values.HibiStdWeightFemale = u"63.70"_qs;
    r.Values.HibiObesityMale = u"-5.12"_qs;
    r.Values.HibiObesityFemale = u"-5.81"_qs;
    return r;
}

// The 150 bytes of KnownRecord(), written out field by field.
QByteArray KnownRecordBytes() {
    QByteArray b;
    b += QByteArray("\x8e\x52\x93\x63\x91\xbe\x98\x59") + Spaces(12);  // 山田太郎
    b += QByteArray(
             "1\x81\x60"
             "2\x91\x67") +
         Spaces(14);  // 1～2組
    b += QByteArray("A\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad\x82\xaf") +
         Spaces(1);
    b += "90.5      ";
    b += "170.2     ";
    b += "20.8      ";
    b += "60.0      ";
    b += "63.58     ";
    b += "63.24     ";
    b += "63.70     ";
    b += "-5.12     ";
    b += "-5.81     ";
    return b;
}
}  // namespace

class TestMeasureRecord : public QObject {
    Q_OBJECT

private slots:
    void encodesKnownTextsByteForByte() {
        const QByteArray bytes = KnownRecord().Encode();
        QCOMPARE(bytes.size(), 150);
        QCOMPARE(bytes, KnownRecordBytes());
    }

    void blankRecordIsAllSpaces() { QCOMPARE(MeasureRecord{}.Encode(), Spaces(150)); }

    // Fields are written in place: copies taken before must keep their characters.
    void assigningAFieldLeavesEarlierCopiesAlone() {
        Text10 field = QStringLiteral("170.0");
        const QString handedOut = field.Value();
        const Text10 copy = field;
        field = QStringView(u"65.4");
        QCOMPARE(handedOut, QStringLiteral("170.0     "));
        QCOMPARE(copy.Value(), QStringLiteral("170.0     "));
        QCOMPARE(field.Value(), QStringLiteral("65.4      "));
        field = QStringView(field.Value()).sliced(2);  // a view of its own characters
        QCOMPARE(field.Value(), QStringLiteral(".4        "));
        Text10 moved(std::move(field));
        field = QStringView(u"12345678901");
        QCOMPARE(field.Value(), QStringLiteral("1234567890"));
        QCOMPARE(moved.Value(), QStringLiteral(".4        "));
    }

    void titleOfFifteenFullWidthCharactersKeepsTheFirstTen() {
        MeasureRecord r;
        r.SubLabel1 = u"あいうえおかきくけこさしすせそ"_qs;
        const QByteArray first10(
            "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8"
            "\x82\xa9\x82\xab\x82\xad\x82\xaf\x82\xb1");
        const QByteArray bytes = r.Encode();
        QCOMPARE(bytes.left(20), first10);
        QCOMPARE(bytes.mid(20), Spaces(130));
        QCOMPARE(MeasureRecord::Decode(bytes).SubLabel1.Trimmed(), u"あいうえおかきくけこ"_qs);
    }

    void decodingKnownBytesGivesTheTexts() {
        const MeasureRecord r = MeasureRecord::Decode(KnownRecordBytes());
        MeasureRecord expected = KnownRecord();
        expected.SubLabel3 = u"Aあいうえおかきくけ"_qs;  // as stored: cut before こ
        QCOMPARE(r, expected);
        QCOMPARE(r.SubLabel2.Trimmed(), u"1～2組"_qs);
    }

    void decodingTrimsFields_data() {
        QTest::addColumn<QByteArray>("field1");
        QTest::addColumn<QByteArray>("field4");
        QTest::addColumn<QString>("text1");
        QTest::addColumn<QString>("text4");
        QTest::newRow("spaces on both sides")
            << QByteArray("  \x8e\x52  ") + Spaces(14) << QByteArray("  170.2   ") << u"山"_qs
            << u"170.2"_qs;
        QTest::newRow("field of spaces reads empty")
            << Spaces(20) << Spaces(10) << QString() << QString();
        QTest::newRow("zero bytes read as blank")
            << QByteArray(20, '\0') << QByteArray(10, '\0') << QString() << QString();
        QTest::newRow("zero bytes after a text")
            << QByteArray("abc") + QByteArray(17, '\0') << QByteArray("60") + QByteArray(8, '\0')
            << u"abc"_qs << u"60"_qs;
        QTest::newRow("full-width space is text")
            << QByteArray("\x81\x40\x8e\x52") + Spaces(16) << Spaces(10) << u"　山"_qs << QString();
    }
    void decodingTrimsFields() {
        QFETCH(QByteArray, field1);
        QFETCH(QByteArray, field4);
        QFETCH(QString, text1);
        QFETCH(QString, text4);
        const QByteArray bytes = field1 + Spaces(40) + field4 + Spaces(80);
        QCOMPARE(bytes.size(), 150);
        const MeasureRecord r = MeasureRecord::Decode(bytes);
        QCOMPARE(r.SubLabel1.Trimmed(), text1);
        QCOMPARE(r.Values.SittingHeight.Trimmed(), text4);
        QCOMPARE(r.SubLabel1.Value().size(), 20);
        QCOMPARE(r.SubLabel1.IsBlank(), text1.isEmpty());
        QVERIFY(r.SubLabel2.IsBlank());
        QVERIFY(r.Values.HibiObesityFemale.IsBlank());
    }

    void undecodableBytesReadWithoutFailing() {
        QByteArray bytes = KnownRecordBytes();
        bytes[7] = '\x01';   // 郎 loses its trail byte
        bytes[19] = '\x93';  // a lead byte at the end of the field
        const MeasureRecord r = MeasureRecord::Decode(bytes);
        QVERIFY(r.SubLabel1.Trimmed().startsWith(u"山田太"_qs));
        QVERIFY(r.SubLabel1.Value().contains(QChar(QChar::ReplacementCharacter)));
        QCOMPARE(r.SubLabel2.Trimmed(), u"1～2組"_qs);  // the next field is unharmed
    }
};

QTEST_GUILESS_MAIN(TestMeasureRecord)
#include "tst_measurerecord.moc"
