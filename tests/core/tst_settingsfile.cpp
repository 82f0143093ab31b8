#include <QFile>
#include <QTest>
#include <memory>

#include "G_Param.h"
#include "SettingsFile.h"
#include "TestProgramFolder.h"
#include "mdlPublicWriteFunc.h"

namespace {
UserSettings SettingsOf(const GlobalParams& p) {
    return {p.CommSettings, p.PortNumber, p.OperationMode, p.AutoWriteOn, p.AutoWriteDelay};
}
}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;

    void WriteFile(const QByteArray& bytes) {
        QFile f(m_folder->SettingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void init() { m_folder = std::make_unique<TestProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void formatWritesOneLine_data() {
        QTest::addColumn<UserSettings>("settings");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("defaults, port 1, auto 5 s") << UserSettings{u"4800,E,8,1"_qs, 1, 0, 1, 5}
                                                    << QByteArray("\"4800,E,8,1\",1,0,1,5\r\n");
        QTest::newRow("start values") << UserSettings{} << QByteArray("\"\",0,0,0,0\r\n");
        QTest::newRow("negative and large") << UserSettings{u"9600,N,8,1"_qs, 8, 1, 255, -3}
                                            << QByteArray("\"9600,N,8,1\",8,1,255,-3\r\n");
        QTest::newRow("percent signs stay text")
            << UserSettings{u"%1%2"_qs, 2, 1, 0, 4} << QByteArray("\"%1%2\",2,1,0,4\r\n");
    }
    void formatWritesOneLine() {
        QFETCH(UserSettings, settings);
        QFETCH(QByteArray, expected);
        QCOMPARE(SettingsFile::Format(settings), expected);
    }

    void parseReadsValuesInOrder_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<UserSettings>("expected");
        QTest::addColumn<int>("count");
        // Every case starts from {"old", 7, 7, 7, 7}: what is not read keeps that.
        QTest::newRow("full line") << QByteArray("\"4800,E,8,1\",1,0,1,5\r\n")
                                   << UserSettings{u"4800,E,8,1"_qs, 1, 0, 1, 5} << 5;
        QTest::newRow("no line end") << QByteArray("\"2400,O,7,1\",3,1,0,9")
                                     << UserSettings{u"2400,O,7,1"_qs, 3, 1, 0, 9} << 5;
        QTest::newRow("first two values") << QByteArray("\"4800,E,8,1\",1\r\n")
                                          << UserSettings{u"4800,E,8,1"_qs, 1, 7, 7, 7} << 2;
        QTest::newRow("values on separate lines")
            << QByteArray("\"9600,N,8,1\"\r\n2\n1\r\n0\r\n3\r\n")
            << UserSettings{u"9600,N,8,1"_qs, 2, 1, 0, 3} << 5;
        QTest::newRow("spaces around numbers")
            << QByteArray("\"a,b\", 4 ,1, 1,-2\r\n") << UserSettings{u"a,b"_qs, 4, 1, 1, -2} << 5;
        QTest::newRow("wrong kind stops reading")
            << QByteArray("\"4800,E,8,1\",2,x,1,5\r\n")
            << UserSettings{u"4800,E,8,1"_qs, 2, 7, 7, 7} << 2;
        QTest::newRow("out of range stops reading")
            << QByteArray("\"s\",1,0,256,5\r\n") << UserSettings{u"s"_qs, 1, 0, 7, 7} << 3;
        QTest::newRow("not a number stops reading")
            << QByteArray("\"s\",nan,0,1,5\r\n") << UserSettings{u"s"_qs, 7, 7, 7, 7} << 1;
        QTest::newRow("empty file") << QByteArray() << UserSettings{u"old"_qs, 7, 7, 7, 7} << 0;
    }
    void parseReadsValuesInOrder() {
        QFETCH(QByteArray, bytes);
        QFETCH(UserSettings, expected);
        QFETCH(int, count);
        UserSettings settings{u"old"_qs, 7, 7, 7, 7};
        QCOMPARE(SettingsFile::Parse(bytes, settings), count);
        QCOMPARE(settings, expected);
    }

    void missingFileKeepsStartValues() {
        G_Param.CommSettings = QString();
        ReadSettings();
        QCOMPARE(SettingsOf(G_Param), UserSettings{});
        QVERIFY(!QFile::exists(m_folder->SettingsFile()));
    }

    void fileWithTwoValuesLeavesTheOthersAtZero() {
        WriteFile("\"4800,E,8,1\",1\r\n");
        ReadSettings();
        QCOMPARE(SettingsOf(G_Param), (UserSettings{u"4800,E,8,1"_qs, 1, 0, 0, 0}));
    }

    void writeThenReadGivesTheSameSettings() {
        G_Param.CommSettings = u"19200,O,7,1"_qs;
        G_Param.PortNumber = 4;
        G_Param.OperationMode = 1;
        G_Param.AutoWriteOn = 1;
        G_Param.AutoWriteDelay = 12;
        QVERIFY(WriteSettings());
        QFile f(m_folder->SettingsFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\"19200,O,7,1\",4,1,1,12\r\n"));
        f.close();

        G_Param = GlobalParams{};
        G_Param.SetFolders(m_folder->Path());
        ReadSettings();
        QCOMPARE(SettingsOf(G_Param), (UserSettings{u"19200,O,7,1"_qs, 4, 1, 1, 12}));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
