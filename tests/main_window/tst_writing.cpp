#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "FaultInjection.h"
#include "FileBytes.h"
#include "MainWindowFixture.h"
#include "ProgramOptions.h"

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
        // Values on display would be asked about before a number change or a new set.
        const bool onDisplay = operation == u"write" || operation == u"clear";
        if (onDisplay) {
            w.txtSubLabel[0]->setText(QStringLiteral("山田"));
            G_Param.CurrentValues.Height = QStringLiteral("170.2");
        }
        if (operation == u"clear") f->dialogs.Answers = {true};
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
        const int questions = operation == u"new set" ? 2 : operation == u"clear" ? 1 : 0;
        QCOMPARE(texts.size(), 1 + questions);
        QVERIFY(texts.last().contains(QDir::toNativeSeparators(path)));
        QCOMPARE(f->dialogs.Transcript.last().Icon, MsgIcon::Warning);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(f->beeper.Count, 0);
        if (!onDisplay) return;
        QCOMPARE(w.txtSubLabel[0]->text(), QStringLiteral("山田"));
        QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), QStringLiteral("170.2"));
    }

    // A full disk: the record is written in place, but the next one cannot be added. The
    // reading is kept and said to be kept, and the day goes on at the next number.
    void fullDiskAfterAGoodWriteMovesOnAndTheNextReadingLandsThere() {
        if (!FileSizeLimit::Works)
            QSKIP("a full disk is played with a file size limit, which Windows lacks");
        frmMain& w = f->Start();
        G_Param.CurrentValues.Height = QStringLiteral("170.2");
        {
            const FileSizeLimit limit(3 * 150 + 46);
            w.InputClick();
        }
        QCOMPARE(f->dialogs.Transcript.size(), 1);
        QVERIFY(f->dialogs.Texts().first().startsWith(
            u"No.1は保存しました。\r\nディスクの空きが足りないため、次のナンバーを用意できませんでした。"_qs));
        QCOMPARE(f->dialogs.Transcript.first().Icon, MsgIcon::Warning);
        QCOMPARE(FileBytes(f->folder.RecordFile()).size(), 3 * 150);
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(w.txtNumber->text(), QStringLiteral("2"));
        QCOMPARE(f->beeper.Count, 1);
        f->port.Receive(kWeightFrame);
        w.AwTimer_Timer();  // space is back: no question, No. 2 made by its first write
        QCOMPARE(f->Record(4).Values.Weight.Trimmed(), QStringLiteral("60.0"));
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(w.txtNumber->text(), QStringLiteral("3"));
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

    // A reading (or a typed name) not written yet is never dropped without the user's word.
    void leavingANumberWithSomethingUnwrittenAsks_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("unwritten");  // "reading": pending automatic write; "name"
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("storedNo1");  // height, or name, of No. 1 afterwards
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("new number, yes writes, then moves once") << "new number" << "reading" << "yes" << "170.2" << "2";
        QTest::newRow("new number, no drops it")                  << "new number" << "reading" << "no" << "" << "2";
        QTest::newRow("new number, cancel stays")                 << "new number" << "reading" << "cancel" << "" << "1";
        QTest::newRow("previous number, cancel stays")            << "previous number" << "reading" << "cancel" << "" << "1";
        QTest::newRow("typed number, cancel stays")               << "typed number" << "reading" << "cancel" << "" << "1";
        QTest::newRow("typed number, yes writes")                 << "typed number" << "reading" << "yes" << "170.2" << "2";
        QTest::newRow("next unmeasured, yes writes")              << "next unmeasured" << "reading" << "yes" << "170.2" << "2";
        QTest::newRow("new set, cancel asks nothing more")        << "new set" << "reading" << "cancel" << "" << "1";
        QTest::newRow("name-list load, cancel opens nothing")     << "load list" << "reading" << "cancel" << "" << "1";
        QTest::newRow("exit, cancel keeps the window")            << "exit" << "reading" << "cancel" << "" << "1";
        QTest::newRow("typed name, new number, yes writes it")    << "new number" << "name" << "yes" << "青木" << "2";
        QTest::newRow("typed name, next number, no drops it")     << "next number" << "name" << "no" << "" << "1";
        // clang-format on
    }
    void leavingANumberWithSomethingUnwrittenAsks() {
        QFETCH(QString, operation);
        QFETCH(QString, unwritten);
        QFETCH(QString, answer);
        QFETCH(QString, storedNo1);
        QFETCH(QString, shown);
        frmMain& w = f->Start();
        if (unwritten == u"reading") {
            f->port.Receive(kHeightFrame);
            QVERIFY(w.AwTimer->isActive());
        } else {
            w.txtSubLabel[0]->setText(QStringLiteral("青木"));
        }
        f->dialogs.Clear();
        f->dialogs.ThreeWayAnswers = {answer == u"yes"  ? Answer::Yes
                                      : answer == u"no" ? Answer::No
                                                        : Answer::Cancel};
        if (operation == u"previous number") w.MoveNumber(0);
        if (operation == u"load list") w.mnuNameListLoad_Click();
        if (operation == u"exit") QVERIFY(!w.close());
        if (operation == u"next unmeasured") w.GoToNextUnmeasured();
        if (operation != u"new set") Run(w, operation);
        if (operation == u"new set") w.NewMeasurementSet();
        QCOMPARE(f->dialogs.Transcript.first().Text,
                 QStringLiteral("未保存のデータがあります\r\n保存しますか？"));
        QCOMPARE(f->dialogs.Transcript.size(), 1);
        const MeasureRecord no1 = f->Record(3);
        QCOMPARE(unwritten == u"reading" ? no1.Values.Height.Trimmed() : no1.SubLabel1.Trimmed(),
                 storedNo1);
        QCOMPARE(w.txtNumber->text(), shown);
        QCOMPARE(w.HasUnsaved(), answer == u"cancel");
        if (answer == u"cancel" && unwritten == u"reading") QVERIFY(w.AwTimer->isActive());
    }

    // Redraws keep a reading not written yet on screen, ready to be written.
    void redrawsKeepAnUnwrittenReading_data() {
        QTest::addColumn<QByteArray>("frame");  // empty: a dialog closes
        QTest::newRow("status reply") << QByteArray("\x02ST,\x03");
        QTest::newRow("a settings dialog closes") << QByteArray();
    }
    void redrawsKeepAnUnwrittenReading() {
        QFETCH(QByteArray, frame);
        f->WriteUserDat(1, 0, 0);
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        w.txtSubLabel[0]->setText(QStringLiteral("青木"));
        if (frame.isEmpty())
            w.RefreshDisplay();
        else
            f->port.Receive(frame);
        QCOMPARE(w.lblSyDisp->text(), QStringLiteral("身長   170.2cm"));
        QCOMPARE(w.txtSubLabel[0]->text(), QStringLiteral("青木"));
        w.InputClick();
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(f->Record(3).SubLabel1.Trimmed(), QStringLiteral("青木"));
    }

    void clearingMeasuredValuesAsksFirst_data() {
        QTest::addColumn<bool>("measured");
        QTest::addColumn<bool>("yes");
        QTest::newRow("measured, yes clears") << true << true;
        QTest::newRow("measured, no keeps") << true << false;
        QTest::newRow("names only clear without asking") << false << true;
    }
    void clearingMeasuredValuesAsksFirst() {
        QFETCH(bool, measured);
        QFETCH(bool, yes);
        f->WriteRecords(1);
        if (!measured) {
            MeasureRecord named;
            named.SubLabel1 = QStringLiteral("青木");
            RecordFile::Write(f->folder.RecordFile(), 3, named);
        }
        frmMain& w = f->Start();
        if (measured) f->dialogs.Answers = {yes};
        w.ClearCurrent();
        const auto& first = f->dialogs.Transcript.first();
        QCOMPARE(first.Kind, measured ? u"question"_qs : u"message"_qs);
        if (measured) QCOMPARE(first.Text, QStringLiteral("No.1の測定値と項目を消去しますか？"));
        if (measured) QCOMPARE(first.Default, QStringLiteral("no"));
        QCOMPARE(f->Record(3).SubLabel1.IsBlank(), yes);
    }

    // Command mode: a height and a weight requested more than the delay apart.
    void wholePersonOptionWaitsForHeightAndWeight_data() {
        QTest::addColumn<bool>("wholePerson");
        QTest::newRow("on: one record") << true;
        QTest::newRow("off: two records") << false;
    }
    void wholePersonOptionWaitsForHeightAndWeight() {
        QFETCH(bool, wholePerson);
        f->WriteUserDat(1, 1, 3);
        G_Param.AutoWriteWholePerson = wholePerson;
        QVERIFY(ProgramOptions::Write());
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        QCOMPARE(w.AwTimer->isActive(), !wholePerson);
        QCOMPARE(w.lblPending->text(),
                 wholePerson ? u"No.1 は体重を待っています（そろうと自動で書き込みます）"_qs
                             : u"No.1 に 3 秒後に書き込みます"_qs);
        if (!wholePerson) w.AwTimer_Timer();  // the delay passes before the weight
        f->port.Receive(kWeightFrame);
        QVERIFY(w.AwTimer->isActive());
        w.AwTimer_Timer();
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(f->Record(3).Values.Weight.IsBlank(), !wholePerson);
        QCOMPARE(f->Record(4).Values.Weight.Trimmed(), wholePerson ? u""_qs : u"60.0"_qs);
        QCOMPARE(w.txtNumber->text(), wholePerson ? u"2"_qs : u"3"_qs);
        QCOMPARE(w.lblPending->text(), QString());
    }

    // The weight-and-state box held open past the delay: the write fires inside it, and the
    // arming after it must not write the next number blank.
    void statusBoxHeldOpenWritesOncePerValue() {
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        f->dialogs.OnMessage = [&w](const QString&) {
            if (w.AwTimer->isActive()) w.AwTimer_Timer();
        };
        f->port.Receive(QByteArray("\x02TL,   60.0\x03"));
        f->dialogs.OnMessage = nullptr;
        if (w.AwTimer->isActive()) w.AwTimer_Timer();
        QCOMPARE(f->beeper.Count, 1);
        QCOMPARE(f->Record(3).Values.Weight.Trimmed(), QStringLiteral("60.0"));
        QCOMPARE(f->Count(), 4);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("2"));
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
        QCOMPARE(f->dialogs.Transcript.first().Default, QStringLiteral("no"));
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
