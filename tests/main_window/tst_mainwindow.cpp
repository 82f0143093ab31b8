#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "ClickLabel.h"
#include "LinePrintBox.h"
#include "MainTexts.h"
#include "MainWindowFixture.h"
#include "MeterLink.h"
#include "ProgramOptions.h"
#include "SettingsFile.h"

namespace {
const QByteArray kHeightFrame("\x02SY,  170.2\x03");
}

#ifdef Q_OS_WIN
constexpr const char* kSystem = "Windows";
#else
constexpr const char* kSystem = "Linux";
#endif

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    void TypeNumber(const QString& text) { f->window->txtNumber->setText(text); }

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        f->WriteUserDat();
    }
    void cleanup() { f.reset(); }

    void startupOnEmptyFolderCreatesNo1AndShowsIt() {
        frmMain& w = f->Start();
        QCOMPARE(f->Count(), 3);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(w.lblSubLabel[1]->text(), QStringLiteral("項目2"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Hakaron ver.1.30"));
        QCOMPARE(w.picDisp->Lines(), QStringList{QStringLiteral("--")});
        QVERIFY(f->dialogs.Transcript.isEmpty());
        QVERIFY(f->port.PortOpen());
    }

    void writingNo1OfNewSetAppendsBlankNo2() {
        frmMain& w = f->Start();
        w.txtSubLabel[0]->setText(QStringLiteral("山田 太郎"));
        G_Param.CurrentValues.Height = QStringLiteral("  170.2");
        w.InputClick();
        QCOMPARE(f->Record(3).SubLabel1.Trimmed(), QStringLiteral("山田 太郎"));
        QCOMPARE(f->Record(3).Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(f->Count(), 4);
        QCOMPARE(f->Record(4), MeasureRecord{});
        QCOMPARE(w.txtNumber->text(), QStringLiteral("2"));
        QCOMPARE(w.txtSubLabel[0]->text(), QString());
        QCOMPARE(w.lblSyDisp->text(), QStringLiteral("身長   --"));
        QCOMPARE(f->beeper.Count, 1);
    }

    void writingNo3OfTenShowsNo4WithItsStoredValues() {
        f->WriteRecords(10);
        frmMain& w = f->Start();
        TypeNumber(QStringLiteral("3"));
        w.txtSubLabel[1]->setText(QStringLiteral("1年2組"));
        w.InputClick();
        QCOMPARE(f->Record(5).SubLabel2.Trimmed(), QStringLiteral("1年2組"));
        // the displayed 103 was reloaded as 103.0 and is written back that way
        QCOMPARE(f->Record(5).Values.Height.Trimmed(), QStringLiteral("103.0"));
        QCOMPARE(f->Count(), 12);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("4"));
        QCOMPARE(w.txtSubLabel[0]->text(), QStringLiteral("名前4"));
        QCOMPARE(w.lblSyDisp->text(), QStringLiteral("身長   104.0cm"));
        QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), QStringLiteral("104.0"));
    }

    void typingBeyondTheLastSelectsOneNewBlankRecord() {
        f->WriteRecords(5);
        frmMain& w = f->Start();
        TypeNumber(QStringLiteral("20"));
        QCOMPARE(w.txtNumber->text(), QStringLiteral("6"));
        QCOMPARE(f->Count(), 8);
        QCOMPARE(f->Record(8), MeasureRecord{});
        QCOMPARE(G_Param.CurrentIndex, int16_t(5));
    }

    void typingOutOfRangeWarnsAndEmptiesTheBox_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << "0";
        QTest::newRow("1501") << "1501";
        QTest::newRow("no digits") << "abc";
        QTest::newRow("negative") << "-2";
    }
    void typingOutOfRangeWarnsAndEmptiesTheBox() {
        QFETCH(QString, text);
        f->WriteRecords(5);
        frmMain& w = f->Start();
        TypeNumber(QStringLiteral("3"));
        TypeNumber(text);
        QCOMPARE(f->dialogs.Texts(), QStringList{QStringLiteral("範囲内の数字を入れてください")});
        QCOMPARE(f->dialogs.Transcript.first().Icon, MsgIcon::Warning);
        QCOMPARE(w.txtNumber->text(), QString());
        QCOMPARE(G_Param.CurrentIndex, int16_t(2));
        QCOMPARE(f->Count(), 7);
    }

    void nextAndPreviousWrapAroundTheFile() {
        f->WriteRecords(4);
        frmMain& w = f->Start();
        w.MoveNumber(0);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("4"));
        QCOMPARE(w.txtSubLabel[0]->text(), QStringLiteral("名前4"));
        w.MoveNumber(1);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(w.txtSubLabel[0]->text(), QStringLiteral("名前1"));
        QCOMPARE(f->Count(), 6);
    }

    void newNumberAppendsEvenAfterABlankLastRecord() {
        frmMain& w = f->Start();
        w.MoveNumber(2);
        w.MoveNumber(2);
        QCOMPARE(f->Count(), 5);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("3"));
    }

    void fullFileRefusesANewNumberAndNo1500ReturnsToNo1() {
        f->WriteRecords(1500);
        frmMain& w = f->Start();
        w.MoveNumber(2);
        QCOMPARE(f->dialogs.Texts(), QStringList{QStringLiteral("これ以上登録できません")});
        QCOMPARE(f->Count(), 1502);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        TypeNumber(QStringLiteral("1500"));
        w.InputClick();
        QCOMPARE(f->dialogs.Texts().last(), QStringLiteral("No.1に戻ります"));
        QCOMPARE(f->dialogs.Transcript.last().Icon, MsgIcon::Information);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(f->Count(), 1502);
    }

    void clearingKeepsTheRecordAsBlank() {
        f->WriteRecords(6);
        frmMain& w = f->Start();
        TypeNumber(QStringLiteral("5"));
        f->dialogs.Answers = {true};
        w.ClearCurrent();
        QCOMPARE(f->dialogs.Texts(),
                 (QStringList{QStringLiteral("No.5の測定値と項目を消去しますか？"),
                              QStringLiteral("No.5を消去しました")}));
        QCOMPARE(f->Record(7), MeasureRecord{});
        QCOMPARE(f->Count(), 8);
        QCOMPARE(w.lblSyDisp->text(), QStringLiteral("身長   --"));
        QCOMPARE(w.lblBmiRes->text(), QStringLiteral("--"));
        QCOMPARE(w.picDisp->Lines(), QStringList{QStringLiteral("--")});
    }

    void recordBeyondTheEndShowsTwoDashesAndKeepsTheLabels() {
        f->WriteRecords(3);
        frmMain& w = f->Start();
        QCOMPARE(w.lblSyDisp->text(), QStringLiteral("身長   101.0cm"));
        QFile file(f->folder.RecordFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(2 * 150));
        file.close();
        w.RefreshDisplay();
        QCOMPARE(w.picDisp->Lines(), (QStringList{QStringLiteral("--"), QStringLiteral("--")}));
        QCOMPARE(w.lblSyDisp->text(), QStringLiteral("身長   101.0cm"));
    }

    void headerAndTitleFollowTheFileAndAutoWriting() {
        f->WriteUserDat(1, 1, 2);
        G_Param.Title = QStringLiteral("春の健康診断");
        G_Param.MeasureDate = QStringLiteral("2026年4月1日");
        G_Param.Person = QStringLiteral("佐藤");
        G_Param.SubLabelCaption2 = QStringLiteral("   ");
        G_Param.SubLabelCaption1 = QStringLiteral("氏名");
        WriteHeader();
        frmMain& w = f->Start();
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("春の健康診断 - Hakaron ver.1.30～自動書き込みモード～"));
        QCOMPARE(w.lblTytle->text().trimmed(), QStringLiteral("タイトル ： 春の健康診断"));
        QCOMPARE(w.lblToday->text().trimmed(), QStringLiteral("日　　付 ： 2026年4月1日"));
        QCOMPARE(w.lblPerson->text(), QStringLiteral(" 担当者　： 佐藤") + QString(18, u' '));
        QCOMPARE(w.lblSubLabel[0]->text(), QStringLiteral("氏名"));
        QCOMPARE(w.lblSubLabel[1]->text(), QStringLiteral("項目2"));
    }

    void automaticWritingWritesOnceAfterTheLastOfABurst() {
        f->WriteUserDat(1, 1, 3);
        G_Param.AutoWriteWholePerson = false;  // a height alone arms the write
        QVERIFY(ProgramOptions::Write());
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        QVERIFY(w.AwTimer->isActive());
        QCOMPARE(w.AwTimer->interval(), 3000);
        f->port.Receive(QByteArray("\x02TZ,   60.0\x03"));
        QVERIFY(w.AwTimer->isActive());
        QCOMPARE(f->Count(), 3);
        QCOMPARE(w.lblBmiRes->text(), QStringLiteral("20.7"));
        w.AwTimer_Timer();
        QVERIFY(!w.AwTimer->isActive());
        const MeasureRecord written = f->Record(3);
        QCOMPARE(written.Values.Height.Trimmed(), QStringLiteral("170.2"));
        QCOMPARE(written.Values.Weight.Trimmed(), QStringLiteral("60.0"));
        QCOMPARE(written.Values.Bmi.Trimmed(), QStringLiteral("20.7"));
        QCOMPARE(f->Count(), 4);
        QCOMPARE(w.txtNumber->text(), QStringLiteral("2"));
        QCOMPARE(f->beeper.Count, 1);
    }

    void automaticWritingOffNeverArms() {
        frmMain& w = f->Start();
        f->port.Receive(kHeightFrame);
        QVERIFY(!w.AwTimer->isActive());
        QCOMPARE(w.picDisp->Lines().last(), QStringLiteral("身長  170.2cm"));
        const auto* status = w.statusBar()->findChild<QLabel*>(QStringLiteral("lblLinkStatus"));
        QVERIFY(status && status->text().startsWith(QStringLiteral("最終受信 ")));
    }

    // A day of the link's animation and of a meter sending without a pause: nothing is kept
    // per tick or per line (a new icon per tick stayed in Qt's pixmap cache).
    void memoryStaysFlatOverAnimationAndFlood() {
        frmMain& w = f->Start();
        QList<qint64> keys;
        for (int tick = 0; tick < 6; ++tick) {
            w.Link().CmdTimer_Timer();
            keys << w.cmdConnect->icon().cacheKey();
        }
        QCOMPARE(keys.mid(3), keys.mid(0, 3));
        f->port.Receive(kHeightFrame.repeated(1000));
        QCOMPARE(w.picDisp->Lines().size(), LinePrintBox::MaxLines);
        QCOMPARE(w.picDisp->Lines().first(), QStringLiteral("身長  170.2cm"));
    }

    void startupWithoutUserDatWarnsOnceAndRecreatesIt() {
        QFile::remove(f->folder.SettingsFile());
        frmMain& w = f->Start();
        QCOMPARE(f->dialogs.Texts(),
                 QStringList{QStringLiteral("通信設定に障害が発生しました\r\n初期値に戻します")});
        QFile file(f->folder.SettingsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\"4800,E,8,1\",0,0,0,0\r\n"));
        QVERIFY(!w.fmeBaseInput->isVisibleTo(&w));
    }

    void missingPortStartsOfflineAndRecordsStayBrowsable() {
        f->WriteRecords(3);
        f->port.MissingPorts = {1};
        frmMain& w = f->Start();
        QCOMPARE(f->dialogs.Texts(),
                 QStringList{QStringLiteral(
                     "通信ポートが開きませんでした。\r\n通信設定をもう一度ご確認ください。\r\n")});
        QCOMPARE(w.lblConnect->text(), QStringLiteral("オフライン"));
        QVERIFY(!w.Link().IsOnline());
        w.MoveNumber(1);
        QCOMPARE(w.txtSubLabel[0]->text(), QStringLiteral("名前2"));
    }

    void secondCopyIsRefused() {
        f->lock.Free = false;
        f->window = std::make_unique<frmMain>(f->MakePlatform());
        QVERIFY(!f->window->Form_Load());
        QCOMPARE(f->dialogs.Texts(),
                 QStringList{QStringLiteral("Hakaron(for %1)\r\nはすでに起動されています。")
                                 .arg(QLatin1String(kSystem))});
        QCOMPARE(f->port.OpenCount, 0);
    }

    void aSecondCopyThatCannotBeDetectedIsToldOnce() {
        f->lock.Detects = false;
        QVERIFY(f->Start().isEnabled());
        QCOMPARE(f->dialogs.Texts().count(MainTexts::SecondCopyUndetected), 1);
    }

    void newMeasurementSetAsksTwiceThenStartsOver_data() {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::newRow("yes, yes") << true << true;
        QTest::newRow("no") << false << false;
        QTest::newRow("yes, no") << true << false;
    }
    void newMeasurementSetAsksTwiceThenStartsOver() {
        QFETCH(bool, first);
        QFETCH(bool, second);
        f->WriteRecords(7);
        frmMain& w = f->Start();
        TypeNumber(QStringLiteral("4"));
        f->dialogs.Answers = {first};
        if (first) f->dialogs.Answers.push_back(second);
        const int opensBefore = f->port.OpenCount;
        w.mnuNewData_Click();
        const bool done = first && second;
        QCOMPARE(f->Count(), done ? 3 : 9);
        QCOMPARE(f->dialogs.Texts().contains(QStringLiteral("新規ファイルです")), done);
        if (done) {
            QCOMPARE(f->Record(3), MeasureRecord{});
            QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        }
        // the link was suspended for the questions and is back online
        QCOMPARE(f->port.OpenCount, opensBefore + 1);
        QVERIFY(f->port.PortOpen());
    }

    void modeLayoutSetsWindowSizeAndRequestButtons() {
        frmMain& w = f->Start();
        QCOMPARE(w.size(), QSize(533, 467));  // 7000 twips = 466.67 px, rounded
        QVERIFY(w.cmdCommandSwitch[0]->isVisibleTo(&w));
        G_Param.OperationMode = 0;
        w.ApplyModeLayout();
        QCOMPARE(w.size(), QSize(533, 373));
        QVERIFY(!w.cmdCommandSwitch[0]->isVisibleTo(&w));
        QVERIFY(w.findChild<QAction*>(QStringLiteral("mnuDataSwitch_0"))->isVisible());
    }

    void exitClosesAnOpenPort() {
        frmMain& w = f->Start();
        QVERIFY(f->port.PortOpen());
        w.close();
        QVERIFY(!f->port.PortOpen());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
