#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "FaultInjection.h"
#include "FileBytes.h"
#include "LinePrintBox.h"
#include "MainWindowFixture.h"
#include "MeterLink.h"
#include "ProgramOptions.h"
#include "SerialPort.h"
#include "mdlParamCls.h"

namespace {
const QByteArray kHeightFrame("\x02SY,  170.2\x03");
const QByteArray kWeightFrame("\x02TZ,   60.0\x03");
const QString kOverwriteNo1 =
    QStringLiteral("No.1 名前1 には測定値があります（101.0 cm）。上書きしますか？");
// A pupil as the meter sends it: height and weight.
QByteArray Person(const char* height, const char* weight) {
    return QByteArray("\x02SY,") + QByteArray(height).rightJustified(7, ' ') + "\x03\x02TZ," +
           QByteArray(weight).rightJustified(7, ' ') + '\x03';
}
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
        QVERIFY2(texts.last().contains(QDir::toNativeSeparators(path)), qPrintable(texts.last()));
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
        const QString told = f->dialogs.Texts().first();
        QVERIFY(told.startsWith(
            u"No.1は保存しました。\r\nディスクの空きが足りないため、次のナンバーを用意できませんでした。"_qs));
        // Said once, with the system's own reason.
        QVERIFY(!told.contains(u"保存されていません"_qs));
        QVERIFY(!told.contains(u"未知のエラー"_qs) && !told.contains(u"Unknown error"_qs));
        QVERIFY(told.contains(u"理由: "_qs));
        QCOMPARE(w.picDisp->Lines(), QStringList{u"--"_qs});
        QCOMPARE(f->dialogs.Transcript.first().Icon, MsgIcon::Warning);
        QCOMPARE(FileBytes(f->folder.RecordFile()).size(), 3 * 150);
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(w.txtNumber->text(), QStringLiteral("2"));
        QCOMPARE(f->beeper.Count, 1);
        f->port.Receive(Person("150.0", "60.0"));
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
            f->port.Receive(Person("170.2", "60.0"));
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
                 unwritten == u"reading"
                     ? u"No.1 の測定値が保存されていません。保存しますか？"_qs
                     : u"No.1 青木 の測定値が保存されていません。保存しますか？"_qs);
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
        QTest::addColumn<QString>("ini");  // what hakaron.ini says
        QTest::addColumn<bool>("wholePerson");
        QTest::newRow("on: one record") << "on" << true;
        QTest::newRow("off: two records") << "off" << false;
        QTest::newRow("no ini: on") << "" << true;
    }
    void wholePersonOptionWaitsForHeightAndWeight() {
        QFETCH(QString, ini);
        QFETCH(bool, wholePerson);
        f->WriteUserDat(1, 1, 3);
        G_Param.AutoWriteWholePerson = ini == u"on";
        if (!ini.isEmpty()) QVERIFY(ProgramOptions::Write());
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        QCOMPARE(w.AwTimer->isActive(), !wholePerson);
        QCOMPARE(w.lblPending->text(), wholePerson
                                           ? u"No.1 は体重待ち（そろうと自動で書き込みます）"_qs
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

    // A person's readings written from the 受信履歴 window to one number: asked once when it
    // holds a measured value, naming the pupil; padded as the meter sends them, indices derived.
    void readingsWrittenFromTheJournal_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QString>("bmi");  // of the record afterwards
        // clang-format off
        QTest::newRow("a blank number")       << 3 << true  << QStringList{} << "16.5";
        QTest::newRow("a measured one, yes")  << 2 << true  << QStringList{u"No.2 名前2 には測定値があります（102.0 cm）。上書きしますか？"_qs} << "16.5";
        QTest::newRow("a measured one, no")   << 2 << false << QStringList{u"No.2 名前2 には測定値があります（102.0 cm）。上書きしますか？"_qs} << "";
        // clang-format on
    }
    void readingsWrittenFromTheJournal() {
        QFETCH(int, number);
        QFETCH(bool, yes);
        QFETCH(QStringList, questions);
        QFETCH(QString, bmi);
        f->WriteRecords(2);
        frmMain& w = f->Start();
        f->dialogs.Answers = {yes};
        JournalEntry height{1, {}, 1, MeasuredQuantity::Height, u"133.0"_qs};
        JournalEntry weight{2, {}, 1, MeasuredQuantity::Weight, u"29.2"_qs};
        QCOMPARE(w.WriteReadingTo(number, height), yes);
        if (yes) QVERIFY(w.WriteReadingTo(number, weight));  // the window stops at a refusal
        QCOMPARE(f->dialogs.Texts(), questions);
        const MeasureRecord r = f->Record(number + 2);
        QCOMPARE(r.Values.Bmi.Trimmed(), bmi);
        if (yes) QCOMPARE(r.Values.Height.Trimmed(), u"133.0"_qs);
    }

    // A roster loaded over a measured No. 1 (its questions answered はい, はい): the roster's
    // first pupil shows, the progress is the new set's, and nothing is left unsaved.
    void rosterLoadedOverAMeasuredNumberShowsItsFirstPupil() {
        f->WriteRecords(3);
        frmMain& w = f->Start();
        QList<MeasureRecord> roster(2);
        for (const QString& name : {u"青木 さくら"_qs, u"上野 陽菜"_qs}) {
            MeasureRecord pupil;
            pupil.SubLabel1 = name;
            roster << pupil;
        }
        QVERIFY(RecordFile::Replace(f->folder.RecordFile(), roster));
        ClearParams();  // as the chooser leaves it
        w.RefreshDisplay();
        QCOMPARE(w.txtSubLabel[0]->text(), u"青木 さくら"_qs);
        QCOMPARE(w.lblProgress->text(), u"測定済み 0 / 2 名　次の未測定: No.1"_qs);
        QVERIFY(!w.HasUnsaved());
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

    // Every write onto a measured pupil asks, naming the pupil, with いいえ as the default;
    // いいえ keeps the pupil's record and the reading on display.
    void writesOntoAMeasuredPupilAsk_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("questions");
        const QString unsaved = u"No.1 名前1 の測定値が保存されていません。保存しますか？"_qs;
        // clang-format off
        QTest::newRow("automatic, yes")           << "automatic" << true  << QStringList{kOverwriteNo1};
        QTest::newRow("automatic, no")            << "automatic" << false << QStringList{kOverwriteNo1};
        QTest::newRow("ctrl+s, yes")              << "ctrl+s"    << true  << QStringList{kOverwriteNo1};
        QTest::newRow("ctrl+s, no")               << "ctrl+s"    << false << QStringList{kOverwriteNo1};
        QTest::newRow("unsaved yes, then no")     << "unsaved"   << false << QStringList{unsaved, kOverwriteNo1};
        QTest::newRow("unsaved yes, then yes")    << "unsaved"   << true  << QStringList{unsaved, kOverwriteNo1};
        QTest::newRow("failed, tried again: once") << "again"    << true  << QStringList{kOverwriteNo1};
        // clang-format on
    }
    void writesOntoAMeasuredPupilAsk() {
        QFETCH(QString, how);
        QFETCH(bool, yes);
        QFETCH(QStringList, questions);
        f->WriteUserDat(1, how == u"automatic" ? 1 : 0, 1);
        f->WriteRecords(2);
        frmMain& w = f->Start();
        f->port.Receive(Person("170.2", "60.0"));
        f->dialogs.Answers = {yes};
        f->dialogs.ThreeWayAnswers = {Answer::Yes};
        if (how == u"automatic") w.AwTimer_Timer();
        if (how == u"unsaved") w.MoveNumber(1);
        if (how == u"ctrl+s") w.InputClick();
        if (how == u"again") {
            // Agreed for the pupil on display, the write fails; Ctrl+S again asks nothing more.
            const QString path = f->folder.RecordFile();
            f->dialogs.OnQuestion = [&](const QString&) {
                QVERIFY(QFile::remove(path) && QDir().mkpath(path));
            };
            w.InputClick();
            f->dialogs.OnQuestion = nullptr;
            QCOMPARE(f->Count(), 0);
            QVERIFY(QDir(path).removeRecursively());
            f->WriteRecords(2);
            w.InputClick();
        }
        QStringList asked;
        for (const auto& entry : f->dialogs.Transcript)
            if (entry.Kind == u"question") {
                asked << entry.Text;
                QCOMPARE(entry.Default, questions.size() == 1 || entry.Text == kOverwriteNo1
                                            ? u"no"_qs
                                            : u"cancel"_qs);
            }
        QCOMPARE(asked, questions);
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), yes ? u"170.2"_qs : u"101"_qs);
        QCOMPARE(w.txtNumber->text(), yes ? u"2"_qs : u"1"_qs);
        if (!yes) QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), u"170.2"_qs);
    }

    // Readings are never collapsed: those behind a notice, a question or a failed write land
    // one by one, each person on a number of its own (automatic writing), or the last on
    // screen with the others in the journal (manual writing).
    void readingsBehindANoticeOrAQuestionLandInOrder_data() {
        QTest::addColumn<QString>("behind");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QStringList>("heights");  // No. 1, 2, ... afterwards
        QTest::addColumn<QString>("shown");        // the number on display at the end
        QTest::addColumn<int>("replaced");         // readings journaled as replaced
        // clang-format off
        QTest::newRow("notice, automatic")       << "notice"   << true  << QStringList{"133.0", "150.5", "140.1"} << "4" << 0;
        QTest::newRow("question, automatic")     << "question" << true  << QStringList{"133.0", "150.5", "140.1", "145.0"} << "5" << 0;
        QTest::newRow("question, manual")        << "question" << false << QStringList{"133.0", ""} << "2" << 4;
        QTest::newRow("failed write, automatic") << "failure"  << true  << QStringList{"133.0", "150.5", "140.1", "145.0"} << "5" << 0;
        // clang-format on
    }
    void readingsBehindANoticeOrAQuestionLandInOrder() {
        QFETCH(QString, behind);
        QFETCH(bool, automatic);
        QFETCH(QStringList, heights);
        QFETCH(QString, shown);
        QFETCH(int, replaced);
        f->WriteUserDat(1, automatic ? 1 : 0, 1);
        if (behind != u"notice") f->WriteRecords(1);
        frmMain& w = f->Start();
        const QByteArray three =
            Person("150.5", "44.4") + Person("140.1", "35.0") + Person("145.0", "40.2");
        if (behind == u"notice") {
            f->port.RaiseEvent(CommEvents::Overrun);
            QVERIFY(w.fraNotice->isVisibleTo(&w));
            f->port.Receive(Person("133.0", "29.0") + three.left(three.size() / 3 * 2));
        } else {
            f->port.Receive(Person("133.0", "29.0"));
            const auto during = [&](const QString&) { f->port.Receive(three); };
            (behind == u"question" ? f->dialogs.OnQuestion : f->dialogs.OnMessage) = during;
            f->dialogs.Answers = {true};
            const QString path = f->folder.RecordFile();
            const QList<MeasureRecord> blank(3);
            if (behind == u"failure") QVERIFY(QFile::remove(path) && QDir().mkpath(path));
            w.InputClick();  // onto the measured No. 1: asks; the failure is told
            f->dialogs.OnQuestion = f->dialogs.OnMessage = nullptr;
            if (behind == u"failure") {
                QTest::qWait(10);
                QCOMPARE(w.Link().FramesWaiting(), 6);
                QVERIFY(w.lblPending->text().contains(u"後の測定値 6 件は待っています"_qs));
                QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), u"133.0"_qs);
                QVERIFY(QDir(path).removeRecursively());
                QVERIFY(RecordFile::Replace(path, blank));
                w.InputClick();  // written now: the readings behind it come
            }
        }
        QTest::qWait(10);
        if (automatic) w.AwTimer_Timer();
        for (int k = 1; k <= heights.size(); ++k)
            QCOMPARE(f->Record(k + 2).Values.Height.Trimmed(), heights[k - 1]);
        QCOMPARE(w.txtNumber->text(), shown);
        QCOMPARE(w.Link().FramesWaiting(), 0);
        qsizetype journaledAsReplaced = 0;
        for (const JournalEntry& e : w.Journal().Today())
            journaledAsReplaced += e.Fate == ReadingFate::Replaced;
        QCOMPARE(journaledAsReplaced, replaced);
        if (!automatic) {
            QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), u"145.0"_qs);
            QVERIFY(w.picDisp->Lines().contains(
                u"前の測定値（140.1 cm / 35.0 kg）は書き込まれていません（受信履歴にあります）"_qs));
            QVERIFY(w.lblPending->text().contains(u"前の測定値（140.1 cm / 35.0 kg）"_qs));
        }
    }

    // What became of each reading is in the day's journal.
    void everyReadingEndsWithItsFateInTheJournal_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("fate");
        QTest::addColumn<int>("writtenTo");
        // clang-format off
        QTest::newRow("ctrl+s")          << "ctrl+s"    << int(ReadingFate::WrittenByInput) << 1;
        QTest::newRow("automatic")       << "automatic" << int(ReadingFate::WrittenAuto)    << 1;
        QTest::newRow("clear")           << "clear"     << int(ReadingFate::Cleared)        << 0;
        QTest::newRow("unsaved, no")     << "no"        << int(ReadingFate::Discarded)      << 0;
        QTest::newRow("failed write")    << "failure"   << int(ReadingFate::WriteFailed)    << 0;
        QTest::newRow("not yet written") << "nothing"   << int(ReadingFate::Pending)        << 0;
        // clang-format on
    }
    void everyReadingEndsWithItsFateInTheJournal() {
        QFETCH(QString, operation);
        QFETCH(int, fate);
        QFETCH(int, writtenTo);
        frmMain& w = f->Start();
        f->port.Receive(Person("133.0", "29.0"));
        f->dialogs.Answers = {true};
        f->dialogs.ThreeWayAnswers = {Answer::No};
        if (operation == u"ctrl+s") w.InputClick();
        if (operation == u"automatic") w.AwTimer_Timer();
        if (operation == u"clear") w.ClearCurrent();
        if (operation == u"no") w.MoveNumber(2);
        if (operation == u"failure") {
            QFile::remove(f->folder.RecordFile());
            QVERIFY(QDir().mkpath(f->folder.RecordFile()));
            w.InputClick();
        }
        const QList<JournalEntry> today = w.Journal().Today();
        QCOMPARE(today.size(), 2);
        for (const JournalEntry& e : today) {
            QCOMPARE(int(e.Fate), fate);
            QCOMPARE(e.WrittenTo, writtenTo);
            QCOMPARE(e.Number, 1);
        }
        QCOMPARE(today.first().Value, u"133.0"_qs);
    }

    // Japanese input pauses longer than the delay: the write waits for Enter or the focus
    // leaving the box, then takes the whole delay again.
    void typingHoldsThePendingWrite() {
        f->WriteUserDat(1, 1, 3);
        frmMain& w = f->Start();
        f->port.Receive(Person("170.2", "60.0"));
        QTest::qWait(300);
        QTest::keyClicks(w.txtSubLabel[0], QStringLiteral("Tennyu"));
        QVERIFY(!w.AwTimer->isActive());
        QCOMPARE(w.lblPending->text(), u"入力中のため書き込みを待っています"_qs);
        QTest::keyClick(w.txtSubLabel[0], Qt::Key_Return);
        QVERIFY(w.AwTimer->isActive());
        QVERIFY(w.AwTimer->remainingTime() > 2500);
        w.AwTimer_Timer();
        QCOMPARE(f->Record(3).SubLabel1.Trimmed(), u"Tennyu"_qs);
        QCOMPARE(f->Record(3).Values.Weight.Trimmed(), u"60.0"_qs);
    }
};

QTEST_MAIN(WritingTest)
#include "tst_writing.moc"
