#include <QTest>

#include "CommandLine.h"

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("version");
        QTest::addColumn<QString>("saveCsv");
        QTest::addColumn<bool>("refused");
        // clang-format off
        QTest::newRow("nothing starts the windows") << QStringList{} << false << false << "" << false;
        QTest::newRow("save to a file") << QStringList{"--save-csv", "out.csv"} << false << false << "out.csv" << false;
        QTest::newRow("save, joined form") << QStringList{"--save-csv=測定.csv"} << false << false << "測定.csv" << false;
        QTest::newRow("version") << QStringList{"--version"} << false << true << "" << false;
        QTest::newRow("help") << QStringList{"--help"} << true << false << "" << false;
        QTest::newRow("short help") << QStringList{"-h"} << true << false << "" << false;
        QTest::newRow("save without a file") << QStringList{"--save-csv"} << false << false << "" << true;
        QTest::newRow("save with an empty name") << QStringList{"--save-csv", ""} << false << false << "" << true;
        QTest::newRow("unknown option") << QStringList{"--print"} << false << false << "" << true;
        QTest::newRow("report with its items") << QStringList{"--save-report", "a.pdf", "--sex-item", "1", "--grade-item", "2", "--school", "中", "--group-item", "0"} << false << false << "" << false;
        QTest::newRow("judgement for one age") << QStringList{"--save-judgement", "a.csv", "--age", "17"} << false << false << "" << false;
        QTest::newRow("CSV and report at once") << QStringList{"--save-csv", "a.csv", "--save-report", "a.pdf"} << false << false << "" << true;
        QTest::newRow("items without a report") << QStringList{"--sex-item", "1"} << false << false << "" << true;
        QTest::newRow("two sources of the age") << QStringList{"--save-report", "a.pdf", "--age-item", "2", "--age", "9"} << false << false << "" << true;
        QTest::newRow("age beyond the method") << QStringList{"--save-judgement", "a.csv", "--age", "18"} << false << false << "" << true;
        QTest::newRow("item 4") << QStringList{"--save-judgement", "a.csv", "--sex-item", "4"} << false << false << "" << true;
        QTest::newRow("school without a grade item") << QStringList{"--save-report", "a.pdf", "--school", "中"} << false << false << "" << true;
        QTest::newRow("stray argument") << QStringList{"out.csv"} << false << false << "" << true;
        // clang-format on
    }
    void parse() {
        QFETCH(QStringList, args);
        QFETCH(bool, help);
        QFETCH(bool, version);
        QFETCH(QString, saveCsv);
        QFETCH(bool, refused);
        const CommandLine line = ParseCommandLine(QStringList{QStringLiteral("hakaron")} + args);
        QCOMPARE(!line.Error.isEmpty(), refused);
        if (refused) return;
        QCOMPARE(line.ShowHelp, help);
        QCOMPARE(line.ShowVersion, version);
        QCOMPARE(line.SaveCsv, saveCsv);
    }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
