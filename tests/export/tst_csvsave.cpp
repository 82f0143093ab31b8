#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "CommandLine.h"
#include "DialogsDouble.h"
#include "ExportTexts.h"
#include "FaultInjection.h"
#include "FileResult.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "SaveTarget.h"
#include "ServiceDoubles.h"
#include "TestProgramFolder.h"
#include "WindowTestSupport.h"
#include "frmProgressBar.h"
#include "mdlCsvModule.h"
#include "mdlDialog.h"

namespace {

// The line of a record whose fields are all blank.
QByteArray BlankLine(int number) {
    return QByteArray::number(number) +
           ",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
}

}  // namespace

class CsvSaveTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::unique_ptr<QWidget> m_parent;
    ClockDouble m_clock;
    QPair<int, int> m_progressAtSaved;

    QString Target() const { return QDir(m_folder->Path()).filePath(QStringLiteral("out.csv")); }

    // Header and captions, then `count` records: No. 1 filled, the rest blank.
    void WriteSet(int count) {
        G_Param.Title = QStringLiteral("秋の測定");  // as start-up loads it from the header
        G_Param.MeasureDate = QStringLiteral("2026/12/06");
        G_Param.Person = QStringLiteral("山田");
        QList<MeasureRecord> records(2 + count);
        records[0].SubLabel1 = G_Param.Title;
        records[0].SubLabel2 = G_Param.MeasureDate;
        records[0].SubLabel3 = G_Param.Person;
        records[1].SubLabel1 = QStringLiteral("組");
        if (count > 0) {
            records[2].SubLabel1 = QStringLiteral("1年");
            records[2].Values.Height = QStringLiteral("  160.2");
        }
        QVERIFY(RecordFile::Replace(m_folder->RecordFile(), records));
    }

    // The menu command after the link is suspended; waits until its window has gone.
    void RunCommand() {
        RunCsvSaveCommand(*m_dialogs, m_clock, m_parent.get());
        QTRY_VERIFY(!m_parent->findChild<frmProgressBar*>());
    }

    static void WriteOld(const QString& path) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QCOMPARE(old.write("old,data\r\n"), 10);
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

    // The bytes of each line are pinned in tst_csvlines and, for the whole file, in the
    // command line's end-to-end test; here the menu must write what the command line writes.
    void menuCommandWritesWhatTheCommandLineWritesAndSaysSaved() {
        WriteSet(2);
        m_dialogs->SavePaths = {Target()};
        m_dialogs->OnMessage = [this](const QString&) {
            if (auto* window = m_parent->findChild<frmProgressBar*>())
                m_progressAtSaved = {window->pgbWork->value(), window->pgbWork->maximum()};
        };
        RunCommand();
        const QByteArray csv = FileBytes(Target());
        QCOMPARE(DataLines(csv), 2);
        QVERIFY(csv.endsWith("\r\n" + BlankLine(2)));
        const QString other = QDir(m_folder->Path()).filePath(QStringLiteral("cli.csv"));
        QCOMPARE(SaveCsvFromProgramFolder(m_folder->Path(), other), QString());
        QCOMPARE(csv, FileBytes(other));
        QCOMPARE(m_dialogs->Texts(),
                 QStringList({ExportTexts::CsvFilter + u'|' + QStringLiteral("2026127.csv"),
                              ExportTexts::Saved}));
        QCOMPARE(m_dialogs->Transcript[0].Title, ExportTexts::SaveTitle);
        QCOMPARE(G_Param.OperationStatus, int16_t(2));
        QCOMPARE(G_Param.ChosenFileName, QStringLiteral("out.csv"));
        QCOMPARE(m_progressAtSaved, (QPair<int, int>(4, 4)));  // the bar is full at "保存しました"
    }

    void aSetWithoutMeasurementRecordsGivesFourLines() {
        WriteSet(0);
        m_dialogs->SavePaths = {Target()};
        RunCommand();
        QCOMPARE(FileBytes(Target()).count("\r\n"), 4);
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
        // Runs at the first yield, after line 1 of 3.
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
        const QByteArray csv = FileBytes(Target());
        QCOMPARE(DataLines(csv), 1);
        QVERIFY(csv.endsWith("\"\r\n"));
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
        WriteOld(Target());
        m_dialogs->SavePaths = {Target()};
        m_dialogs->Answers = {yes};
        RunCommand();
        QCOMPARE(m_dialogs->Transcript[1].Kind, QStringLiteral("question"));
        QCOMPARE(m_dialogs->Transcript[1].Text, ExportTexts::AskOverwrite);
        if (yes) {
            QCOMPARE(DataLines(FileBytes(Target())), 1);
            QCOMPARE(m_dialogs->Texts().mid(2), QStringList{ExportTexts::Saved});
        } else {
            QCOMPARE(FileBytes(Target()), QByteArray("old,data\r\n"));
            QCOMPARE(m_dialogs->Texts().mid(2), QStringList{ExportTexts::Stopping});
        }
    }

    // A target the dialog cannot take is refused with the reason, then the dialog reopens.
    void unwritableTargetIsRefusedWithItsReasonBeforeTheDialogReopens() {
        WriteSet(1);
        const QString gone = QDir(m_folder->Path()).filePath(QStringLiteral("gone/out"));
        m_dialogs->SavePaths = {gone, std::nullopt};
        RunCommand();
        QCOMPARE(m_dialogs->Texts().mid(1, 1),
                 QStringList{ExportTexts::CantSaveHere + QStringLiteral("\r\n") +
                             FileWrite::ReasonFor(gone + QStringLiteral(".csv"), QString())});
        QCOMPARE(m_dialogs->Texts().mid(2), QStringList{ExportTexts::CsvFilter + "|out.csv"});
    }

    // The program's own files and links to them are never replaced; the message says why.
    void failedSaveSaysWhyInAThirdLine_data() {
        QTest::addColumn<QString>("target");  // in the program folder; "@" a link to it
        QTest::addColumn<QString>("reason");
        QTest::newRow("the record file") << "Org/zqmtemp.rdm" << ExportTexts::ProgramFile;
        QTest::newRow("a link to a name list")
            << "@Name_List/3年2組.nml" << ExportTexts::ProgramFile;
        QTest::newRow("no record file") << "" << ExportTexts::NoMeasurementSet;
        QTest::newRow("a link to a device")
            << "@/dev/null" << SaveTarget::Reason(SaveTarget::Problem::NotAFile);
    }
    void failedSaveSaysWhyInAThirdLine() {
        QFETCH(QString, target);
        QFETCH(QString, reason);
#ifdef Q_OS_WIN
        if (QByteArray(QTest::currentDataTag()).contains("link"))
            QSKIP("a symbolic link; Windows makes a shortcut file instead");
#endif
        WriteSet(1);
        const QDir folder(m_folder->Path());
        WriteOld(folder.filePath(QStringLiteral("Name_List/3年2組.nml")));
        QString path = target.isEmpty() ? Target() : folder.filePath(target);
        if (target.startsWith(u'@')) {
            path = folder.filePath(QStringLiteral("link.csv"));
            QVERIFY(QFile::link(folder.filePath(target.mid(1)), path));
        }
        if (target.isEmpty()) QVERIFY(QFile::remove(m_folder->RecordFile()));
        const QByteArray before = FileBytes(path);
        m_dialogs->SavePaths = {path};
        m_dialogs->Answers = {true};  // replacing: the program's files are refused all the same
        RunCommand();
        QCOMPARE(m_dialogs->Texts().last(),
                 ExportTexts::NotSaved + QStringLiteral("\r\n") + reason);
        QVERIFY(!m_dialogs->Texts().contains(ExportTexts::Saved));
        QCOMPARE(FileBytes(path), before);
    }

    void aFailedSaveLeavesTheOldFileAsItWas() {
        if (!PermissionsHold()) QSKIP("root writes into a read-only folder");
        WriteSet(1);
        const QString folder = QDir(m_folder->Path()).filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString target = QDir(folder).filePath(QStringLiteral("out.csv"));
        WriteOld(target);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        m_dialogs->SavePaths = {target};
        m_dialogs->Answers = {true};
        RunCommand();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(FileBytes(target), QByteArray("old,data\r\n"));
        QVERIFY(
            m_dialogs->Texts().last().startsWith(ExportTexts::NotSaved + QStringLiteral("\r\n")));
        QVERIFY(!m_dialogs->Texts().contains(ExportTexts::Saved));
    }

    void proposedNameWritesTheDayWithoutALeadingZero_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("name");
        QTest::newRow("6th") << QDate(2026, 12, 6) << "2026126.csv";
        QTest::newRow("16th") << QDate(2026, 12, 16) << "20261216.csv";
        QTest::newRow("month keeps its zero") << QDate(2027, 1, 5) << "2027015.csv";
    }
    // The dialog is cancelled: no window opens and nothing else is said.
    void proposedNameWritesTheDayWithoutALeadingZero() {
        QFETCH(QDate, today);
        QFETCH(QString, name);
        m_clock.Date = today;
        m_dialogs->SavePaths = {std::nullopt};
        G_Param.ChosenPath = QStringLiteral("/earlier/choice.csv");
        RunCsvSaveCommand(*m_dialogs, m_clock, m_parent.get());
        QCOMPARE(m_dialogs->Texts(), QStringList{ExportTexts::CsvFilter + u'|' + name});
        QVERIFY(!m_parent->findChild<frmProgressBar*>());
        QCOMPARE(G_Param.ChosenPath, QString());
    }

    void nameWithoutExtensionGetsCsv_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("target");
        QTest::newRow("no extension") << "/d/3年1組"
                                      << "/d/3年1組.csv";
        QTest::newRow(".CSV kept") << "/d/a.CSV"
                                   << "/d/a.CSV";
        QTest::newRow("another extension kept") << "/d/a.txt"
                                                << "/d/a.txt";
        QTest::newRow("a closing dot") << "/d/a."
                                       << "/d/a.csv";
    }
    void nameWithoutExtensionGetsCsv() {
        QFETCH(QString, typed);
        QFETCH(QString, target);
        QCOMPARE(mdlDialog::WithCsvSuffix(typed), target);
    }

    // The folder of the last save while it exists, else the documents folder.
    void theNextDialogOpensInTheFolderOfTheLastSave() {
        WriteSet(1);
        m_dialogs->SavePaths = {Target()};
        RunCommand();
        m_dialogs->SavePaths = {std::nullopt};
        RunCsvSaveCommand(*m_dialogs, m_clock, m_parent.get());
        QCOMPARE(m_dialogs->SaveFolder, m_folder->Path());
        QCOMPARE(mdlDialog::DialogFolder(Target(), QStringLiteral("/docs")),
                 QStringLiteral("/docs"));
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
