#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "NameListFile.h"
#include "NameListTestSupport.h"

using Entries = QList<NameListEntry>;

class NameListFileTest : public QObject {
    Q_OBJECT

private slots:
    void newListIsOneLineOfThreeEmptyItems() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.nml"));
        QVERIFY(CreateNameListFile(path));
        QCOMPARE(FileBytes(path), QByteArray("\"\",\"\",\"\"\r\n"));
        QCOMPARE(ReadNameListFile(path), std::optional<Entries>(Entries{Entry({})}));
    }

    void formatWritesQuotedCp932LinesInOrder() {
        const Entries entries{
            Entry(QStringLiteral("山田太郎"), QStringLiteral("1年"), QStringLiteral("A,B")),
            Entry({}, QStringLiteral("x"))};
        QCOMPARE(NameListFile::Format(entries),
                 QByteArray("\"\x8e\x52\x93\x63\x91\xbe\x98\x59\",\"1\x94\x4e\",\"A,B\"\r\n"
                            "\"\",\"x\",\"\"\r\n"));
    }

    void quotesAndLineBreaksNeverReachTheFile() {
        QCOMPARE(NameListFile::Format({Entry(QStringLiteral("a\"b\r\nc"))}),
                 QByteArray("\"a\xfa\x57"
                            "b  c\",\"\",\"\"\r\n"));
    }

    void parseReadsItemsAsOneStream_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items");  // three per entry
        // clang-format off
        QTest::newRow("two lines") << QByteArray("\"a\",\"b\",\"c\"\r\n\"d\",\"\",\"f\"\r\n")
            << QStringList{"a", "b", "c", "d", "", "f"};
        QTest::newRow("comma inside quotes") << QByteArray("\"1,2\",\"x\",\"y\"\r\n")
            << QStringList{"1,2", "x", "y"};
        QTest::newRow("entry split over two lines") << QByteArray("\"a\",\"b\"\r\n\"c\"\r\n")
            << QStringList{"a", "b", "c"};
        QTest::newRow("unquoted items, blanks around") << QByteArray("  a , b b ,c\n")
            << QStringList{"a", "b b", "c"};
        QTest::newRow("count not a multiple of three") << QByteArray("\"a\",\"b\",\"c\"\r\n\"d\"\r\n")
            << QStringList{"a", "b", "c", "d", "", ""};
        QTest::newRow("quote inside ends the item") << QByteArray("\"a\"b\",\"c\",\"d\"\r\n")
            << QStringList{"a", "c", "d"};
        QTest::newRow("missing closing quote ends at line end")
            << QByteArray("\"a,b\r\n\"c\",\"d\"\r\n")
            << QStringList{"a,b", "c", "d"};
        QTest::newRow("trailing comma leaves an empty item") << QByteArray("a,b,\r\nd,e,f\r\n")
            << QStringList{"a", "b", "", "d", "e", "f"};
        QTest::newRow("empty lines hold nothing") << QByteArray("\r\n\"a\",\"b\",\"c\"\r\n\r\n\r\n")
            << QStringList{"a", "b", "c"};
        QTest::newRow("no final line end") << QByteArray("\"a\",\"b\",\"c\"")
            << QStringList{"a", "b", "c"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("UTF-8 with its mark") << QByteArray("\xEF\xBB\xBF\"\xE5\xB1\xB1\xE7\x94\xB0\",\"\",\"x\"\r\n")
            << QStringList{"山田", "", "x"};
        QTest::newRow("UTF-8 without the mark stays CP932") << QByteArray("\"\xE5\xB1\xB1\",\"\",\"\"")
            << QStringList{"螻ｱ", "", ""};
        QTest::newRow("control bytes become spaces") << QByteArrayLiteral("\"a\x00" "b\",c\x1b\x07" "d,\"\x7f\x01\"\r\n")
            << QStringList{"a b", "c  d", "  "};
        // clang-format on
    }
    void parseReadsItemsAsOneStream() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);
        QStringList got;
        for (const NameListEntry& e : NameListFile::Parse(bytes))
            for (const QString& item : e.Items) got << item;
        QCOMPARE(got, items);
    }

    void writeAndReadRoundTrip() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.nml"));
        const Entries entries{
            Entry(QStringLiteral("山田, 太郎"), QString(), QStringLiteral("～全角～")),
            Entry(QString(), QString(), QString()),
            Entry(QStringLiteral("一二三四五六七八九十一二三四五六七八九十一二"),
                  QStringLiteral("1")),
        };
        QVERIFY(WriteNameListFile(path, entries));
        QCOMPARE(ReadNameListFile(path), std::optional<Entries>(entries));
    }

    void unreadableFileReadsAsNothing() {
#ifdef Q_OS_WIN
        QSKIP("reads a Linux device (/dev/zero) through a symbolic link");
#endif
        QTemporaryDir dir;
        QCOMPARE(ReadNameListFile(dir.filePath(QStringLiteral("none.nml"))), std::nullopt);
        QCOMPARE(ReadNameListFile(dir.path()), std::nullopt);  // a folder
        const QString device = dir.filePath(QStringLiteral("zero.nml"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), device));
        QCOMPARE(ReadNameListFile(device), std::nullopt);  // would never end
        QFile large(dir.filePath(QStringLiteral("large.nml")));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(NameListFile::MaxFileBytes + 1));
        large.close();
        QString problem;
        QCOMPARE(ReadNameListFile(large.fileName(), &problem), std::nullopt);
        QVERIFY(problem.contains(QStringLiteral("16 MB")));
        // One entry more than a set holds is refused with the count, not cut or loaded.
        QVERIFY(WriteBytes(large.fileName(), QByteArray("a,b,c\n").repeated(1501)));
        QCOMPARE(ReadNameListFile(large.fileName(), &problem), std::nullopt);
        QCOMPARE(problem, QStringLiteral("名簿が1500名を超えています（1501名）"));
        QVERIFY(WriteBytes(large.fileName(), QByteArray("a,b,c\n").repeated(1500)));
        QCOMPARE(ReadNameListFile(large.fileName())->size(), 1500);
    }

    void failedWriteKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.nml"));
        QVERIFY(WriteBytes(path, "\"old\",\"\",\"\"\r\n"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool written = WriteNameListFile(path, {Entry(QStringLiteral("new"))});
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (written) QSKIP("a read-only folder does not stop this user (root)");
        QCOMPARE(FileBytes(path), QByteArray("\"old\",\"\",\"\"\r\n"));
    }

    void fileNameProblems_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        QTest::newRow("plain") << QStringLiteral("3年1組") << false;
        QTest::newRow("slash") << QStringLiteral("a/b") << true;
        QTest::newRow("quote") << QStringLiteral("a\"b") << true;
        QTest::newRow("too long") << QString(252, u'a') << true;
        QTest::newRow("longest") << QString(251, u'a') << false;
        QTest::newRow("too long in bytes") << QString(90, u'名') << true;
    }
    void fileNameProblems() {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        QCOMPARE(!NameListFile::FileNameProblem(name).isEmpty(), refused);
    }
};

QTEST_MAIN(NameListFileTest)
#include "tst_namelistfile.moc"
