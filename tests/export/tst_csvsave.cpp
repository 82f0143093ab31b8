#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "../settings/SettingsTestSupport.h"
#include "CommandLine.h"
#include "DialogsDouble.h"
#include "ExportTexts.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "ServiceDoubles.h"
#include "TestProgramFolder.h"
#include "frmProgressBar.h"
#include "mdlCsvModule.h"

namespace {

// The first three lines of the set below: 秋の測定, 2026/12/06, 山田.
const QByteArray kLabelLines =
    "\"\x83^\x83"
    "C\x83g\x83\x8b \x81"
    "F \",\"\x8fH\x82\xcc\x91\xaa\x92\xe8\"\r\n"
    "\"\x93\xfa\x81@\x81@\x95t \x81"
    "F \",\"2026/12/06\"\r\n"
    "\" \x92S\x93\x96\x8e\xd2\x81@\x81"
    "F \",\"\x8eR\x93"
    "c\"\r\n";
// Headings with the captions 組, (blank), 氏名.
const QByteArray kHeadingLine =
    "\"No.\",\"\x91g\",\"\x8d\x80\x96\xda"
    "2\",\"\x8e\x81\x96\xbc\",\"\x90g\x92\xb7[cm]\","
    "\"\x91\xcc\x8f"
    "d[kg]\",\"BMI\x92l\",\"\x8d\xc0\x8d\x82[cm]\",\"BMI\x93K\x90\xb3\x91\xcc\x8f"
    "d[kg]\","
    "\"\x93\xfa\x94\xe4\x8e\xae\x93K\x90\xb3\x91\xcc\x8f"
    "d(\x92j\x90\xab)[kg]\","
    "\"\x93\xfa\x94\xe4\x8e\xae\x93K\x90\xb3\x91\xcc\x8f"
    "d(\x8f\x97\x90\xab)[kg]\","
    "\"\x93\xfa\x94\xe4\x8e\xae\x94\xec\x96\x9e\x93x(\x92j\x90\xab)[%]\","
    "\"\x93\xfa\x94\xe4\x8e\xae\x94\xec\x96\x9e\x93x(\x8f\x97\x90\xab)[%]\"\r\n";

// Ends the save at a chosen row, as the cancel button would during the yield.
class CancellingProgress : public ProgressReport {
public:
    explicit CancellingProgress(int afterRow) : m_afterRow(afterRow) {}
    void SetProgressRangeFromRecordFile() override {}
    void SetProgressValue(int value) override {
        if (value == m_afterRow + 1) G_Param.OperationStatus = 1;
    }

private:
    int m_afterRow;
};

}  // namespace

class CsvSaveTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::unique_ptr<QWidget> m_parent;
    ClockDouble m_clock;

    QString Target() const { return QDir(m_folder->Path()).filePath(QStringLiteral("out.csv")); }

    // Header, captions 組 / (blank) / 氏名, then `count` records: No. 1 filled, the rest blank.
    void WriteSet(int count) {
        MeasureRecord header;
        header.SubLabel1 = QStringLiteral("秋の測定");
        header.SubLabel2 = QStringLiteral("2026/12/06");
        header.SubLabel3 = QStringLiteral("山田");
        MeasureRecord captions;
        captions.SubLabel1 = QStringLiteral("組");
        captions.SubLabel3 = QStringLiteral("氏名");
        QList<MeasureRecord> records{header, captions};
        for (int k = 1; k <= count; ++k) {
            MeasureRecord r;
            if (k == 1) {
                r.SubLabel1 = QStringLiteral("1年");
                r.Values.Height = QStringLiteral("  160.2");
                r.Values.Weight = QStringLiteral("   50.5");
            }
            records << r;
        }
        QVERIFY(RecordFile::Replace(m_folder->RecordFile(), records));
        // As start-up loads them.
        G_Param.Title = QStringLiteral("秋の測定");
        G_Param.MeasureDate = QStringLiteral("2026/12/06");
        G_Param.Person = QStringLiteral("山田");
    }

    // The menu command after the link is suspended; waits until its window has gone.
    void RunCommand() {
        RunCsvSaveCommand(*m_dialogs, m_clock, m_parent.get());
        QTRY_VERIFY(!m_parent->findChild<frmProgressBar*>());
    }

    static int DataLines(const QByteArray& csv) { return int(csv.count("\r\n")) - 4; }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_dialogs = std::make_unique<DialogsDouble>();
        m_parent = std::make_unique<QWidget>();
    }
    void cleanup() {
        m_parent.reset();
        m_dialogs.reset();
        m_folder.reset();
    }

    void menuCommandWritesTheSetByteForByteAndSaysSaved() {
        WriteSet(2);
        m_dialogs->SavePaths = {Target()};
        RunCommand();
        const QByteArray expected =
            kLabelLines + kHeadingLine +
            "1,\"1\x94N\",\"\",\"\",\"160.2\",\"50.5\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
            "2,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
        QCOMPARE(FileBytes(Target()), expected);
        QCOMPARE(m_dialogs->Texts(),
                 QStringList({ExportTexts::CsvFilter + u'|' + QStringLiteral("2026127.csv"),
                              ExportTexts::Saved}));
        QCOMPARE(m_dialogs->Transcript[0].Title, ExportTexts::SaveTitle);
        QCOMPARE(G_Param.OperationStatus, int16_t(2));
        QCOMPARE(G_Param.ChosenFileName, QStringLiteral("out.csv"));
    }

    void commandLineWritesTheSameBytesAsTheMenu() {
        WriteSet(3);
        m_dialogs->SavePaths = {Target()};
        RunCommand();
        const QString other = QDir(m_folder->Path()).filePath(QStringLiteral("cli.csv"));
        QCOMPARE(SaveCsvFromProgramFolder(m_folder->Path(), other), QString());
        QCOMPARE(FileBytes(other), FileBytes(Target()));
    }

    void aSetWithoutMeasurementRecordsGivesFourLines() {
        WriteSet(0);
        m_dialogs->SavePaths = {Target()};
        RunCommand();
        QCOMPARE(FileBytes(Target()), kLabelLines + kHeadingLine);
        QCOMPARE(G_Param.OperationStatus, int16_t(2));
    }

    void cancelAfterARowKeepsTheCompleteLinesSoFar_data() {
        QTest::addColumn<int>("row");
        QTest::newRow("first of five") << 1;
        QTest::newRow("fourth of five") << 4;
    }
    void cancelAfterARowKeepsTheCompleteLinesSoFar() {
        QFETCH(int, row);
        WriteSet(5);
        G_Param.ChosenPath = Target();
        CancellingProgress progress(row);
        QCOMPARE(SaveCsv(*m_dialogs, progress), SaveOutcome::Cancelled);
        const QByteArray csv = FileBytes(Target());
        QCOMPARE(DataLines(csv), row);
        const QList<QByteArray> lines = csv.split('\n');  // the last one is empty
        QVERIFY(lines[lines.size() - 2].startsWith(QByteArray::number(row) + ",\""));
        QVERIFY(csv.endsWith("\"\r\n"));
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(G_Param.OperationStatus, int16_t(1));
    }

    void stoppingTheWindowDuringTheSave_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel button") << false;
        QTest::newRow("close box") << true;
    }
    void stoppingTheWindowDuringTheSave() {
        QFETCH(bool, closeBox);
        WriteSet(3);
        m_dialogs->SavePaths = {Target()};
        // Runs at the first yield, after line 1.
        QTimer::singleShot(0, m_parent.get(), [this, closeBox] {
            auto* window = m_parent->findChild<frmProgressBar*>();
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->lblConfig[0]->text(), ExportTexts::Working);
            SaveScreenshot(*window, QStringLiteral("export-progress"));
            if (closeBox)
                window->close();
            else
                window->cmdCancel->click();
        });
        RunCommand();
        QCOMPARE(DataLines(FileBytes(Target())), 1);
        QCOMPARE(m_dialogs->Texts().mid(1), QStringList{ExportTexts::Stopping});
        QCOMPARE(m_dialogs->Transcript.last().Icon, MsgIcon::Information);
        QCOMPARE(G_Param.OperationStatus, int16_t(1));
    }

    void overwriteQuestion_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no keeps the old file") << false;
        QTest::newRow("yes replaces it") << true;
    }
    void overwriteQuestion() {
        QFETCH(bool, yes);
        WriteSet(1);
        QFile old(Target());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old,data\r\n");
        old.close();
        m_dialogs->SavePaths = {Target()};
        m_dialogs->Answers = {yes};
        RunCommand();
        QCOMPARE(m_dialogs->Transcript[1].Kind, QStringLiteral("question"));
        QCOMPARE(m_dialogs->Transcript[1].Text, ExportTexts::AskOverwrite);
        if (yes) {
            QVERIFY(FileBytes(Target()).startsWith(kLabelLines));
            QCOMPARE(m_dialogs->Texts().mid(2), QStringList{ExportTexts::Saved});
        } else {
            QCOMPARE(FileBytes(Target()), QByteArray("old,data\r\n"));
            QCOMPARE(m_dialogs->Texts().mid(2), QStringList{ExportTexts::Stopping});
        }
    }

    void cancelledDialogOpensNoWindowAndSaysNothing() {
        WriteSet(1);
        m_dialogs->SavePaths = {std::nullopt};
        G_Param.ChosenPath = QStringLiteral("/earlier/choice.csv");
        RunCsvSaveCommand(*m_dialogs, m_clock, m_parent.get());
        QVERIFY(!m_parent->findChild<frmProgressBar*>());
        QCOMPARE(m_dialogs->Transcript.size(), 1);
        QCOMPARE(G_Param.ChosenPath, QString());
        QCOMPARE(G_Param.ChosenFileName, QString());
    }

    void unwritableTargetSaysNotSavedAndNeverSaved() {
        WriteSet(1);
        m_dialogs->SavePaths = {QDir(m_folder->Path()).filePath(QStringLiteral("gone/out.csv"))};
        RunCommand();
        QCOMPARE(m_dialogs->Texts().mid(1), QStringList{ExportTexts::NotSaved});
        QCOMPARE(m_dialogs->Transcript[1].Icon, MsgIcon::Warning);
    }

    void aFailedSaveLeavesTheOldFileAsItWas() {
        if (::geteuid() == 0) QSKIP("root writes into a read-only folder");
        WriteSet(1);
        const QString folder = QDir(m_folder->Path()).filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString target = QDir(folder).filePath(QStringLiteral("out.csv"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old,data\r\n");
        old.close();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        m_dialogs->SavePaths = {target};
        m_dialogs->Answers = {true};
        RunCommand();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(FileBytes(target), QByteArray("old,data\r\n"));
        QVERIFY(m_dialogs->Texts().contains(ExportTexts::NotSaved));
        QVERIFY(!m_dialogs->Texts().contains(ExportTexts::Saved));
    }

    void proposedNameWritesTheDayWithoutALeadingZero_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("name");
        QTest::newRow("6th") << QDate(2026, 12, 6) << "2026126.csv";
        QTest::newRow("16th") << QDate(2026, 12, 16) << "20261216.csv";
        QTest::newRow("month keeps its zero") << QDate(2027, 1, 5) << "2027015.csv";
    }
    void proposedNameWritesTheDayWithoutALeadingZero() {
        QFETCH(QDate, today);
        QFETCH(QString, name);
        m_clock.Date = today;
        m_dialogs->SavePaths = {std::nullopt};
        RunCsvSaveCommand(*m_dialogs, m_clock, m_parent.get());
        QCOMPARE(m_dialogs->Texts(), QStringList{ExportTexts::CsvFilter + u'|' + name});
    }

    void progressValuesOutsideTheRangeAreIgnored() {
        WriteSet(3);  // five records with the header records
        frmProgressBar window(*m_dialogs, m_parent.get());
        window.SetProgressRangeFromRecordFile();
        QCOMPARE(window.pgbWork->minimum(), 1);
        QCOMPARE(window.pgbWork->maximum(), 5);
        window.SetProgressValue(3);
        window.SetProgressValue(6);
        window.SetProgressValue(0);
        QCOMPARE(window.pgbWork->value(), 3);
        window.SetProgressValue(5);
        QCOMPARE(window.pgbWork->value(), 5);
    }
};

QTEST_MAIN(CsvSaveTest)
#include "tst_csvsave.moc"
