#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "FaultInjection.h"
#include "FileBytes.h"
#include "MainWindowFixture.h"

namespace {
const QByteArray kHeightFrame("\x02SY,  170.2\x03");
const QByteArray kWeightFrame("\x02TZ,   60.0\x03");
const QString kOverwriteNo1 = QStringLiteral("No.1 には測定値があります。上書きしますか？");
}  // namespace

// Writing records when the file refuses, and automatic writing that never misplaces a person.
class WritingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    void Run(frmMain& w, const QString& operation) {
        if (operation == u"write") w.InputClick();
        if (operation == u"clear") w.ClearCurrent();
        if (operation == u"new number") w.MoveNumber(2);
        if (operation == u"next number") w.MoveNumber(1);
        if (operation == u"typed number") w.txtNumber->setText(QStringLiteral("2"));
        if (operation == u"new set") {
            f->dialogs.Answers = {true, true};
            w.NewMeasurementSet();
        }
    }

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        f->WriteUserDat(1, 1, 1);
    }
    void cleanup() { f.reset(); }

    void failedWriteIsToldAndNothingMovesOn_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("fault");
        QTest::newRow("write, folder in place") << "write"
                                                << "folder";
        QTest::newRow("write, read-only file") << "write"
                                               << "read-only";
        QTest::newRow("clear, folder in place") << "clear"
                                                << "folder";
        QTest::newRow("new number, folder in place") << "new number"
                                                     << "folder";
        QTest::newRow("new set, folder in place") << "new set"
                                                  << "folder";
    }
    void failedWriteIsToldAndNothingMovesOn() {
        QFETCH(QString, operation);
        QFETCH(QString, fault);
        f->WriteRecords(1);
        frmMain& w = f->Start();
        w.txtSubLabel[0]->setText(QStringLiteral("山田"));
        G_Param.CurrentValues.Height = QStringLiteral("170.2");
        const QString path = f->folder.RecordFile();
        if (fault == u"read-only") {
            if (!PermissionsHold()) QSKIP("root writes read-only files");
            QFile::setPermissions(path, QFile::ReadOwner);
        } else {
            QFile::remove(path);
            QVERIFY(QDir().mkpath(path));
        }
        f->dialogs.Clear();
        Run(w, operation);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        const QStringList texts = f->dialogs.Texts();
        QCOMPARE(texts.size(), 1 + (operation == u"new set" ? 2 : 0));
        QVERIFY(texts.last().contains(QDir::toNativeSeparators(path)));
        QCOMPARE(f->dialogs.Transcript.last().Icon, MsgIcon::Warning);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(f->beeper.Count, 0);
        QCOMPARE(w.txtSubLabel[0]->text(), QStringLiteral("山田"));
        QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), QStringLiteral("170.2"));
    }

    // A full disk: the record is written in place, but the next one cannot be added.
    void fullDiskAfterTheLastRecordKeepsItsNumberAndNoTornTail() {
        frmMain& w = f->Start();
        G_Param.CurrentValues.Height = QStringLiteral("170.2");
        {
            const FileSizeLimit limit(3 * 150 + 46);
            w.InputClick();
        }
        QCOMPARE(f->dialogs.Transcript.size(), 1);
        QCOMPARE(FileBytes(f->folder.RecordFile()).size(), 3 * 150);
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(f->beeper.Count, 0);
    }

    void heightAndWeightMomentsApartLandOnOneRecordWithDelayZero() {
        f->WriteUserDat(1, 1, 0);
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        QTest::qWait(30);
        f->port.Receive(kWeightFrame);
        QCOMPARE(w.AwTimer->interval(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(f->Count(), 4, 10000);
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(f->Record(3).Values.Weight.Trimmed(), QStringLiteral("60.0"));
        QCOMPARE(w.txtNumber->text(), QStringLiteral("2"));
    }

    void operationsStopAPendingAutomaticWrite_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("count");
        QTest::newRow("manual write") << "write" << 4;
        QTest::newRow("next number") << "next number" << 3;
        QTest::newRow("typed number") << "typed number" << 4;
        QTest::newRow("clear") << "clear" << 3;
        QTest::newRow("new set") << "new set" << 3;
    }
    void operationsStopAPendingAutomaticWrite() {
        QFETCH(QString, operation);
        QFETCH(int, count);
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        QVERIFY(w.AwTimer->isActive());
        Run(w, operation);
        QVERIFY(!w.AwTimer->isActive());
        QCOMPARE(f->Count(), count);
        QCOMPARE(f->beeper.Count, operation == u"write" ? 1 : 0);
    }

    void lonelyStatusFrameWritesNothing() {
        frmMain& w = f->Start();
        f->port.Receive(QByteArray("\x02UL,\x03"));
        QVERIFY(w.AwTimer->isActive());
        w.AwTimer_Timer();
        QCOMPARE(f->Count(), 3);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(f->beeper.Count, 0);
    }

    void automaticWriteAsksBeforeOverwritingAStoredPerson_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes overwrites") << true;
        QTest::newRow("no keeps the stored record") << false;
    }
    void automaticWriteAsksBeforeOverwritingAStoredPerson() {
        QFETCH(bool, yes);
        f->WriteRecords(2);
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        f->dialogs.Answers = {yes};
        w.AwTimer_Timer();
        QCOMPARE(f->dialogs.Texts(), QStringList{kOverwriteNo1});
        QCOMPARE(f->dialogs.Transcript.first().Title, QStringLiteral("Hakaron"));
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), yes ? u"170.2"_qs : u"101"_qs);
        QCOMPARE(w.txtNumber->text(), yes ? u"2"_qs : u"1"_qs);
        if (!yes) QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), QStringLiteral("170.2"));
    }

    void typingANameRestartsThePendingDelay() {
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        QTest::qWait(300);
        const int left = w.AwTimer->remainingTime();
        QTest::keyClicks(w.txtSubLabel[0], QStringLiteral("a"));
        QVERIFY(w.AwTimer->isActive());
        QVERIFY(w.AwTimer->remainingTime() > left);
    }
};

QTEST_MAIN(WritingTest)
#include "tst_writing.moc"
