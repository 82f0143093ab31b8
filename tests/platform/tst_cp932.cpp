#include <QTest>

#include "Cp932.h"
#include "CutPreview.h"

// CP932 bytes here are written out by hand, never produced by the code under test.
class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void encodeFieldCutsAndPadsToWidth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("half-width padded") << u"abc"_qs << 5 << QByteArray("abc  ");
        QTest::newRow("half-width cut") << u"abcdef"_qs << 4 << QByteArray("abcd");
        QTest::newRow("empty is all spaces") << QString() << 3 << QByteArray("   ");
        QTest::newRow("full-width padded") << u"山田"_qs << 6 << QByteArray("\x8e\x52\x93\x63  ");
        QTest::newRow("full-width exact fit") << u"山田"_qs << 4 << QByteArray("\x8e\x52\x93\x63");
        QTest::newRow("full-width cut before split character")
            << u"山田太"_qs << 5 << QByteArray("\x8e\x52\x93\x63 ");
        QTest::newRow("wave dash") << u"～"_qs << 2 << QByteArray("\x81\x60");
        QTest::newRow("JIS wave dash in a cut text")
            << u"〜〜〜"_qs << 5 << QByteArray("\x81\x60\x81\x60 ");
        QTest::newRow("mixed cut before split character")
            << u"A山田"_qs << 4 << QByteArray("A\x8e\x52 ");
        QTest::newRow("half-width katakana is one byte")
            << u"ｱｲｳ"_qs << 2 << QByteArray("\xb1\xb2");
        QTest::newRow("missing character becomes question mark")
            << u"A한B"_qs << 4 << QByteArray("A?B ");
        QTest::newRow("missing character in a cut text")
            << u"한山田"_qs << 4 << QByteArray("?\x8e\x52 ");
        QTest::newRow("lone high surrogate in a cut text")
            << (QChar(0xD800) + u"山田"_qs) << 4 << QByteArray("?\x8e\x52 ");
        QTest::newRow("lone high surrogate at the end of a field")
            << (u"山"_qs + QChar(0xD800)) << 4 << QByteArray("\x8e\x52? ");
        QTest::newRow("trailing spaces of a fixed text are cut")
            << u"山田太郎            "_qs << 10 << QByteArray("\x8e\x52\x93\x63\x91\xbe\x98\x59  ");
    }
    void encodeFieldCutsAndPadsToWidth() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QByteArray, expected);
        QCOMPARE(Cp932::EncodeField(text, width), expected);
    }

    // What the user is told while typing a text wider than its field.
    void cutPreviewSaysWhatIsKept_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");  // empty: no mark
        QTest::newRow("fits exactly") << u"一二三四五六七八九十"_qs << QString();
        QTest::newRow("title cut at 20 bytes")
            << u"令和8年度 春の身体測定 3年2組"_qs
            << u"保存すると「令和8年度 春の身体測」になります"_qs;
        QTest::newRow("cut before a split character")
            << u"a一二三四五六七八九十"_qs << u"保存すると「a一二三四五六七八九」になります"_qs;
        QTest::newRow("half-width katakana count one byte each")
            << u"ﾐﾊｲﾛｳﾞｨﾁ ｱﾚｸｾｲ ｲﾜﾉﾌ"_qs << QString();
    }
    void cutPreviewSaysWhatIsKept() {
        QFETCH(QString, text);
        QFETCH(QString, tip);
        QCOMPARE(CutPreview::Tip(text, 20, CutPreview::WhenSaved), tip);
    }

    void encodeWholeText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ascii") << u"4800,E,8,1"_qs << QByteArray("4800,E,8,1");
        QTest::newRow("japanese") << u"体重"_qs << QByteArray("\x91\xcc\x8f\x64");
        QTest::newRow("wave dash") << u"1～2"_qs
                                   << QByteArray(
                                          "1\x81\x60"
                                          "2");
        QTest::newRow("missing character") << u"x한y"_qs << QByteArray("x?y");
        QTest::newRow("JIS wave dash") << u"1〜2"_qs
                                       << QByteArray(
                                              "1\x81\x60"
                                              "2");
        QTest::newRow("JIS minus, double line, dash")
            << u"−‖—"_qs << QByteArray("\x81\x7c\x81\x61\x81\x5c");
        QTest::newRow("cent, pound, not") << u"¢£¬"_qs << QByteArray("\x81\x91\x81\x92\x81\xca");
        // A lone surrogate (broken pasted text) once swallowed the quote after it.
        QTest::newRow("lone high surrogate keeps the next character")
            << (u"a"_qs + QChar(0xD800) + u"\","_qs) << QByteArray("a?\",");
        QTest::newRow("lone high surrogate at the end")
            << (u"a"_qs + QChar(0xD800)) << QByteArray("a?");
        QTest::newRow("lone low surrogate") << (QChar(0xDC00) + u"b"_qs) << QByteArray("?b");
        QTest::newRow("pair without a CP932 form") << u"x😀y"_qs << QByteArray("x?y");
        // Where ICU and Windows differ, Windows' code page 932 holds on every system.
        QTest::newRow("SUB, FS and DEL stay themselves")
            << u"\u001A\u001C\u007F"_qs << QByteArray("\x1a\x1c\x7f");
        QTest::newRow("U+0080 is 0x80") << u"a\u0080"_qs << QByteArray("a\x80");
        QTest::newRow("private-use 0xA0 and 0xFD-0xFF")
            << u"\uF8F0\uF8F1\uF8F2\uF8F3"_qs << QByteArray("\xa0\xfd\xfe\xff");
        QTest::newRow("U+F86F has no Windows form") << u"\uF86F山"_qs << QByteArray("?\x8e\x52");
    }
    void encodeWholeText() {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(Cp932::Encode(text), expected);
    }

    void decodeKnownBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("kanji") << QByteArray("\x8e\x52\x93\x63") << u"山田"_qs;
        QTest::newRow("wave dash") << QByteArray("\x81\x60") << u"～"_qs;
        QTest::newRow("half-width katakana") << QByteArray("\xb1 ") << u"ｱ "_qs;
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("SUB, FS and DEL stay themselves")
            << QByteArray("\x1a\x1c\x7f") << u"\u001A\u001C\u007F"_qs;
        QTest::newRow("single 0x80 and 0xA0, as trail bytes too")
            << QByteArray("\x80\xa0\x81\x80\x81\xa0") << u"\u0080\uF8F0÷□"_qs;
        QTest::newRow("0xFD-0xFF") << QByteArray("\xfd\xfe\xff") << u"\uF8F1\uF8F2\uF8F3"_qs;
        QTest::newRow("undecodable pair among good ones")
            << QByteArray("\x8e\x52\x85\x40\x93\x63") << u"山\uFFFD田"_qs;
        QTest::newRow("lead byte before ASCII keeps the ASCII")
            << QByteArray("\x81\x01\x41") << u"\uFFFD\u0001A"_qs;
    }
    void decodeKnownBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(Cp932::Decode(bytes), expected);
    }

    void decodeUndecodableBytesGivesReplacementCharacter_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("lead byte at the end") << QByteArray("AB\x81") << u"AB"_qs;
        QTest::newRow("lead byte before a control") << QByteArray("A\x81\x01") << u"A"_qs;
        QTest::newRow("field cut inside a character") << QByteArray("\x8e\x52\x93") << u"山"_qs;
        QTest::newRow("lead byte before a space") << QByteArray("\x93 A") << QString();
        QTest::newRow("unused lead byte pair") << QByteArray("\x85\x40") << QString();
    }
    void decodeUndecodableBytesGivesReplacementCharacter() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, prefix);
        const QString text = Cp932::Decode(bytes);
        QVERIFY2(text.startsWith(prefix), qPrintable(text));
        QVERIFY2(text.contains(QChar(QChar::ReplacementCharacter)), qPrintable(text));
        QVERIFY(!text.contains(QChar(0x1A)));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
