#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "Cp932.h"
#include "RecordFile.h"

namespace {
constexpr int kPatience = 20000;  // the machine is shared

// 身体測定 / 2024/05/01 / 山田; captions 組, blank, blank; a person whose name holds a quote;
// a blank record.
QList<MeasureRecord> Set() {
    QList<MeasureRecord> records(4);
    records[0].SubLabel1 = QStringLiteral("身体測定");
    records[0].SubLabel2 = QStringLiteral("  2024/05/01");
    records[0].SubLabel3 = QStringLiteral("山田");
    records[1].SubLabel1 = QStringLiteral("組");
    records[2].SubLabel1 = QStringLiteral("a\"b");
    MeasureValues& v = records[2].Values;
    v.Height = QStringLiteral("  170.0");
    v.Bmi = QStringLiteral("20.8");
    v.Weight = QStringLiteral("   60.0");
    v.BmiStdWeight = QStringLiteral("63.58");
    v.HibiStdWeightMale = QStringLiteral("63.24");
    v.HibiStdWeightFemale = QStringLiteral("63.70");
    v.HibiObesityMale = QStringLiteral("-5.12");
    v.HibiObesityFemale = QStringLiteral("-5.81");
    return records;
}

// What the menu writes for that set, line by line: タイトル ： / 日　　付 ： / 担当者　： with
// their values; the headings (項目2, 項目3 for the blank captions); the two records.
// clang-format off
const QByteArray kCsv =
    "\"\x83^\x83" "C\x83g\x83\x8b \x81" "F \",\"\x90g\x91\xcc\x91\xaa\x92\xe8\"\r\n"
    "\"\x93\xfa\x81@\x81@\x95t \x81" "F \",\"2024/05/01\"\r\n"
    "\" \x92S\x93\x96\x8e\xd2\x81@\x81" "F \",\"\x8eR\x93" "c\"\r\n"
    "\"No.\",\"\x91g\",\"\x8d\x80\x96\xda" "2\",\"\x8d\x80\x96\xda" "3\",\"\x90g\x92\xb7[cm]\","
        "\"\x91\xcc\x8f" "d[kg]\",\"BMI\x92l\",\"\x8d\xc0\x8d\x82[cm]\",\"BMI\x93K\x90\xb3\x91\xcc\x8f" "d[kg]\","
        "\"\x93\xfa\x94\xe4\x8e\xae\x93K\x90\xb3\x91\xcc\x8f" "d(\x92j\x90\xab)[kg]\","
        "\"\x93\xfa\x94\xe4\x8e\xae\x93K\x90\xb3\x91\xcc\x8f" "d(\x8f\x97\x90\xab)[kg]\","
        "\"\x93\xfa\x94\xe4\x8e\xae\x94\xec\x96\x9e\x93x(\x92j\x90\xab)[%]\","
        "\"\x93\xfa\x94\xe4\x8e\xae\x94\xec\x96\x9e\x93x(\x8f\x97\x90\xab)[%]\"\r\n"
    "1,\"a\"\"b\",\"\",\"\",\"170.0\",\"60.0\",\"20.8\",\"\",\"63.58\",\"63.24\",\"63.70\",\"-5.12\",\"-5.81\"\r\n"
    "2,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
// clang-format on

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

// The real program on the command line, in a copied program folder, without a display.
class SaveCsvCommandLineTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_recordFile;

    QString Path(const QString& name) const { return m_dir->filePath(name); }
    static QString SummaryLibrary() {
        return QFileInfo(QStringLiteral(HAKARON_SUMMARY_LIBRARY)).fileName();
    }
    static QString WindowLibrary() {
        return QFileInfo(QStringLiteral(HAKARON_WINDOW_LIBRARY)).fileName();
    }

    void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    struct Run {
        int ExitCode = -1;
        QByteArray Out;
        QByteArray Err;
    };
    Run Hakaron(const QStringList& args) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(m_dir->path());
        program.start(Path(QStringLiteral("hakaron")), args);
        Run run;
        if (!program.waitForFinished(kPatience)) return run;
        run.ExitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        run.Out = program.readAllStandardOutput();
        run.Err = program.readAllStandardError();
        return run;
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Org")));
        QVERIFY(QFile::copy(QStringLiteral(HAKARON_BIN), Path(QStringLiteral("hakaron"))));
        QVERIFY(QFile::copy(QStringLiteral(HAKARON_WINDOW_LIBRARY), Path(WindowLibrary())));
        QVERIFY(QFile::copy(QStringLiteral(HAKARON_SUMMARY_LIBRARY), Path(SummaryLibrary())));
        QVERIFY(RecordFile::Replace(Path(QStringLiteral("Org/zqmtemp.rdm")), Set()));
        m_recordFile = FileBytes(Path(QStringLiteral("Org/zqmtemp.rdm")));
    }

    void savesTheSetSilentlyWithTheMenusBytes() {
        WriteFile(Path(QStringLiteral("out.csv")), "an older file, longer than nothing");
        const Run run = Hakaron({QStringLiteral("--save-csv"), QStringLiteral("out.csv")});
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(run.Out, QByteArray());
        QCOMPARE(run.Err, QByteArray());
        QCOMPARE(FileBytes(Path(QStringLiteral("out.csv"))), kCsv);
        QCOMPARE(FileBytes(Path(QStringLiteral("Org/zqmtemp.rdm"))), m_recordFile);  // only read
    }

    // A girl of 中1 at 150.0 cm / 60.0 kg: 0.796 × 150 − 76.934 = 42.466 kg, (60 − 42.466) /
    // 42.466 = 41.29 %; a blank record (no pupil); a boy not measured.
    void saveJudgementWritesEveryPupil() {
        QList<MeasureRecord> records = Set().mid(0, 2);
        records[1].SubLabel1 = QStringLiteral("性別");
        records[1].SubLabel2 = QStringLiteral("学年");
        records[1].SubLabel3 = QStringLiteral("氏名");
        records.resize(5);
        records[2].SubLabel1 = QStringLiteral("女");
        records[2].SubLabel2 = QStringLiteral("中1");
        records[2].SubLabel3 = QStringLiteral("山田 花子");
        records[2].Values.Height = QStringLiteral("150.0");
        records[2].Values.Weight = QStringLiteral("60.0");
        records[4].SubLabel1 = QStringLiteral("男");
        records[4].SubLabel2 = QStringLiteral("中1");
        records[4].SubLabel3 = QStringLiteral("a\"b");
        QVERIFY(RecordFile::Replace(Path(QStringLiteral("Org/zqmtemp.rdm")), records));
        const Run run = Hakaron({"--save-judgement", "out.csv", "--sex-item", "1", "--grade-item",
                                 "2", "--group-item", "0"});
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(run.Err, QByteArray());
        const QString expected = QStringLiteral(
            "\"タイトル ： \",\"身体測定\"\r\n"
            "\"日　　付 ： \",\"2024/05/01\"\r\n"
            "\" 担当者　： \",\"山田\"\r\n"
            "\"No.\",\"性別\",\"学年\",\"氏名\",\"判定用性別\",\"判定用年齢\",\"身長[cm]\",\"体重["
            "kg]\","
            "\"標準体重[kg]\",\"肥満度[%]\",\"判定\",\"備考\"\r\n"
            "1,\"女\",\"中1\",\"山田 花子\",\"女\",\"12\",\"150.0\",\"60.0\",\"42.47\",\"41.2\","
            "\"中等度肥満\",\"\"\r\n"
            "3,\"男\",\"中1\",\"a\"\"b\",\"男\",\"12\",\"\",\"\",\"\",\"\",\"判定できません\","
            "\"身長がありません\"\r\n");
        QCOMPARE(FileBytes(Path(QStringLiteral("out.csv"))), Cp932::Encode(expected));
    }

    // Names and headings are searched for in the PDFs' text as a doctor would (高, 小, 月, 生,
    // 身, 長 are characters a font's radicals stood in for); one letter per pupil at ±20 % and
    // beyond: 高橋 at +41.2 %, 林 at −22.2 %.
    void reportAndLettersAreSearchableWithoutADisplay() {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        QList<MeasureRecord> records = Set().mid(0, 2);
        records[1].SubLabel1 = QStringLiteral("性別");
        records[1].SubLabel2 = QStringLiteral("学年");
        records[1].SubLabel3 = QStringLiteral("氏名");
        records.resize(4);
        const QStringList names{QStringLiteral("高橋 小月"), QStringLiteral("林 生長")};
        for (int i = 0; i < 2; ++i) {
            records[2 + i].SubLabel1 = QStringLiteral("女");
            records[2 + i].SubLabel2 = QStringLiteral("中1");
            records[2 + i].SubLabel3 = names[i];
            records[2 + i].Values.Height = QStringLiteral("150.0");
            records[2 + i].Values.Weight = i == 0 ? QStringLiteral("60.0") : QStringLiteral("33.0");
        }
        QVERIFY(RecordFile::Replace(Path(QStringLiteral("Org/zqmtemp.rdm")), records));
        const Run run = Hakaron({"--save-report", "out.pdf", "--save-letters", "letters.pdf",
                                 "--sex-item", "1", "--grade-item", "2", "--group-item", "0"});
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(run.Err, QByteArray());
        const auto text = [&](const QString& pdf) {
            QProcess extract;
            extract.start(pdftotext, {Path(pdf), QStringLiteral("-")});
            extract.waitForFinished(kPatience);
            return QString::fromUtf8(extract.readAllStandardOutput());
        };
        const QString report = text(QStringLiteral("out.pdf"));
        for (const QString& wanted : names + QStringList{"集計・肥満度判定", "グループ別の集計",
                                                         "身長", "体重", "標準体重", "学校医確認"})
            QVERIFY2(report.contains(wanted), qPrintable(wanted));
        const qsizetype pages = report.count(u'\f');
        QVERIFY(QString(report).remove(u' ').contains(QStringLiteral("%1/%1").arg(pages)));
        const QString letters = text(QStringLiteral("letters.pdf"));
        QCOMPARE(letters.count(u'\f'), 2);
        const QString first = letters.section(u'\f', 0, 0);
        for (const QString& wanted : {names[0], QStringLiteral("42.47"), QStringLiteral("41.2"),
                                      QStringLiteral("中等度肥満"), QStringLiteral("医療機関")})
            QVERIFY2(first.contains(wanted), qPrintable(wanted));
    }

    // The program folder without one of its libraries: what needs it says so; the CSV save,
    // which needs neither, still works.
    void aMissingLibraryIsTold_data() {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QStringList>("arguments");
        const QStringList judgement{"--save-judgement", "out.csv", "--age", "12"};
        QTest::newRow("summary, its outputs") << SummaryLibrary() << judgement;
        QTest::newRow("windows, the summary's outputs") << WindowLibrary() << judgement;
        QTest::newRow("windows, the program's start") << WindowLibrary() << QStringList{};
    }
    void aMissingLibraryIsTold() {
        QFETCH(QString, library);
        QFETCH(QStringList, arguments);
        QVERIFY(QFile::remove(Path(library)));
        const Run run = Hakaron(arguments);
        QCOMPARE(run.ExitCode, 1);
        QCOMPARE(run.Err.count('\n'), 1);
        QVERIFY(run.Err.contains(QFileInfo(library).completeBaseName().toUtf8()));
        QVERIFY(!QFile::exists(Path(QStringLiteral("out.csv"))));
        QCOMPARE(Hakaron({"--save-csv", "out.csv"}).ExitCode, 0);
    }

    // "@" names a link to the file after it. The program's own files are never replaced.
    void failuresExitNonZeroWithOneLine_data() {
        QTest::addColumn<bool>("removeRecordFile");
        QTest::addColumn<QString>("target");  // "mnt/": the program folder by a second name
        QTest::newRow("no record file") << true << "out.csv";
        QTest::newRow("hakaron.ini") << false << "Org/hakaron.ini";
        QTest::newRow("the record file by a second name") << false << "mnt/Org/zqmtemp.rdm";
        QTest::newRow("a device") << false << "/dev/full";
        QTest::newRow("a link to a device") << false << "@/dev/null";
        QTest::newRow("folder of the target missing") << false << "gone/out.csv";
        QTest::newRow("target is a folder") << false << "Org";
        QTest::newRow("the record file") << false << "Org/zqmtemp.rdm";
        QTest::newRow("user.dat") << false << "Org/user.dat";
        QTest::newRow("the lock") << false << "Org/hakaron.lock";
        QTest::newRow("a name list") << false << "Name_List/a.nml";
        QTest::newRow("the program") << false << "hakaron";
        QTest::newRow("a link to the record file") << false << "@Org/zqmtemp.rdm";
        QTest::newRow("a link to user.dat") << false << "@Org/user.dat";
        QTest::newRow("a link to the program") << false << "@hakaron";
    }
    void failuresExitNonZeroWithOneLine() {
        QFETCH(bool, removeRecordFile);
        QFETCH(QString, target);
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Name_List")));
        QVERIFY(QFile::link(m_dir->path(), Path(QStringLiteral("mnt"))));
        for (const char* name :
             {"Org/user.dat", "Org/hakaron.lock", "Org/hakaron.ini", "Name_List/a.nml"})
            WriteFile(Path(QLatin1String(name)), "\"4800,E,8,1\",1,0,1,2\r\n");
        if (target.startsWith(u'@')) {
            QVERIFY(QFile::link(QDir(m_dir->path()).filePath(target.mid(1)), Path("link.csv")));
            target = QStringLiteral("link.csv");
        }
        const QString file = QFileInfo(QDir(m_dir->path()).filePath(target)).canonicalFilePath();
        const QByteArray before = file.startsWith(u"/dev/") ? QByteArray() : FileBytes(file);
        const QString record = Path(QStringLiteral("Org/zqmtemp.rdm"));
        if (removeRecordFile) QVERIFY(QFile::remove(record));
        // Each output refuses the same targets.
        for (const QString& option :
             QStringList{"--save-csv", "--save-judgement", "--save-report"}) {
            const Run run =
                Hakaron(option == u"--save-csv" ? QStringList{option, target}
                                                : QStringList{option, target, "--age", "12"});
            QCOMPARE(run.ExitCode, 1);
            QCOMPARE(run.Err.count('\n'), 1);
            QVERIFY(!QFile::exists(Path(QStringLiteral("out.csv"))));
            if (!file.startsWith(u"/dev/")) QCOMPARE(FileBytes(file), before);
        }
        QCOMPARE(QFileInfo(record).isFile(), !removeRecordFile);
    }

    // A set that cannot be read is no empty report; of two outputs, none is written when one
    // is refused.
    void summaryFailuresWriteNothing() {
        const QString record = Path(QStringLiteral("Org/zqmtemp.rdm"));
        WriteFile(Path(QStringLiteral("a.csv")), "old");
        QCOMPARE(Hakaron({"--save-judgement", "a.csv", "--save-report", "gone/r.pdf"}).ExitCode, 1);
        if (::geteuid() != 0 && QFile::setPermissions(record, {}))  // root reads any file
            QCOMPARE(Hakaron({"--save-judgement", "a.csv"}).ExitCode, 1);
        QVERIFY(QFile::remove(record) && QDir().mkpath(record));
        QCOMPARE(Hakaron({"--save-judgement", "a.csv"}).ExitCode, 1);
        QCOMPARE(FileBytes(Path(QStringLiteral("a.csv"))), QByteArray("old"));
    }

    void versionAndHelp() {
        const Run version = Hakaron({QStringLiteral("--version")});
        QCOMPARE(version.ExitCode, 0);
        QCOMPARE(version.Out, QByteArray("Hakaron ver.1.30\n"));
        const Run help = Hakaron({QStringLiteral("--help")});
        QCOMPARE(help.ExitCode, 0);
        QVERIFY(help.Out.contains("--save-csv FILE"));
        QVERIFY(help.Out.contains("Exit status: 0"));
    }

    void unknownOptionIsRefused() {
        const Run run = Hakaron({QStringLiteral("--print")});
        QCOMPARE(run.ExitCode, 2);
        QVERIFY(run.Out.isEmpty());
        QVERIFY(run.Err.contains("print"));
    }
};

QTEST_GUILESS_MAIN(SaveCsvCommandLineTest)
#include "tst_savecsv.moc"
