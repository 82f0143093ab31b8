#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "Commands.h"
#include "DialogsDouble.h"
#include "FrameAssembler.h"
#include "G_Param.h"
#include "MeterLink.h"
#include "RecordingDisplay.h"
#include "SerialPortDouble.h"
#include "TestProgramFolder.h"

namespace {
const QString kOnline = QStringLiteral("オンライン");
const QString kOffline = QStringLiteral("オフライン");
const QString kPortNotOpened =
    QStringLiteral("通信ポートが開きませんでした。\r\n通信設定をもう一度ご確認ください。\r\n");
const QString kUndefined = QStringLiteral("未定義のエラーが発生しました。");
const QString kVanished = kUndefined + QStringLiteral(
                                           "\r\n測定器との接続が切れました。\r\n"
                                           "ケーブルと測定器の電源を確認してください。\r\n"
                                           "測定器が戻ると自動で接続し直します。");

QByteArray Frame(const QByteArray& body) {
    return '\x02' + body + '\x03';
}
}  // namespace

class TestMeterLink : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        G_Param.CommSettings = QStringLiteral("9600,N,8,1");
        G_Param.PortNumber = 2;
        G_Param.OperationMode = 1;
        G_Param.AutoWriteOn = 1;
        G_Param.AutoWriteDelay = 2;
        m_port = std::make_unique<SerialPortDouble>();
        m_dialogs = std::make_unique<DialogsDouble>();
        m_display = std::make_unique<RecordingDisplay>();
        m_link = std::make_unique<MeterLink>(*m_port, *m_dialogs, *m_display);
    }
    void cleanup() {
        m_link.reset();
        m_port.reset();
    }

    // --- command sending ---

    void sendCommandWritesOneFrame_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("code");
        QTest::newRow("height") << 0 << QByteArray::fromHex("02535903") << "SY";
        QTest::newRow("sitting height") << 1 << QByteArray::fromHex("025a4b03") << "ZK";
        QTest::newRow("weight") << 2 << QByteArray::fromHex("02545a03") << "TZ";
        QTest::newRow("height and weight") << 3 << QByteArray::fromHex("02535403") << "ST";
        QTest::newRow("tare") << 4 << QByteArray::fromHex("02545203") << "TR";
        QTest::newRow("scale status") << 5 << QByteArray::fromHex("02255703") << "%W";
        QTest::newRow("weight and status") << 6 << QByteArray::fromHex("02575403") << "WT";
        QTest::newRow("meter status") << 7 << QByteArray::fromHex("024d5303") << "MS";
        QTest::newRow("ROM version") << 8 << QByteArray::fromHex("02255603") << "%V";
    }

    void sendCommandWritesOneFrame() {
        QFETCH(int, index);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, code);
        m_link->OpenAtStartup();

        m_link->SendCommand(index);

        QCOMPARE(m_port->Written, bytes);
        QCOMPARE(G_Param.LastCommand, code);
        QCOMPARE(CommandTable()[size_t(index)].Code, code);
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    void manualModeAsksBeforeSending_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("yes sends") << true << QByteArray::fromHex("02545a03");
        QTest::newRow("no sends nothing") << false << QByteArray();
    }

    void manualModeAsksBeforeSending() {
        QFETCH(bool, answer);
        QFETCH(QByteArray, written);
        G_Param.OperationMode = 0;
        G_Param.LastCommand = QStringLiteral("SY");
        m_link->OpenAtStartup();
        m_dialogs->Answers.push_back(answer);

        m_link->SendCommand(2);

        QCOMPARE(m_dialogs->Transcript.size(), 1);
        const auto& question = m_dialogs->Transcript.first();
        QCOMPARE(question.Kind, QStringLiteral("question"));
        QCOMPARE(question.Title, QStringLiteral("Hakaron"));
        QCOMPARE(question.Text, QStringLiteral("ユーザ設定が違います\r\n送信しますか？"));
        QCOMPARE(m_port->Written, written);
        QCOMPARE(G_Param.LastCommand, answer ? QStringLiteral("TZ") : QStringLiteral("SY"));
    }

    void closedPortSendsNothingAndSaysNothing() {
        G_Param.LastCommand = QStringLiteral("SY");
        m_link->SendCommand(2);
        QVERIFY(m_port->Written.isEmpty());
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(G_Param.LastCommand, QStringLiteral("SY"));
    }

    void manualModeWithClosedPortStillAsks() {
        G_Param.OperationMode = 0;
        m_dialogs->Answers.push_back(true);
        m_link->SendCommand(0);
        QCOMPARE(m_dialogs->Transcript.size(), 1);
        QVERIFY(m_port->Written.isEmpty());
        QVERIFY(G_Param.LastCommand.isEmpty());
    }

    // --- link state ---

    void connectButtonTogglesTheLink() {
        m_link->OpenAtStartup();
        QVERIFY(m_link->IsOnline());
        QSignalSpy look(m_link.get(), &MeterLink::LookChanged);
        auto* cmdTimer = m_link->findChild<QTimer*>(QStringLiteral("CmdTimer"));
        QVERIFY(cmdTimer);

        m_link->cmdConnect_Click();
        QVERIFY(!m_link->IsOnline());
        QVERIFY(!m_port->PortOpen());
        QCOMPARE(m_link->ConnectPicture(), 4);
        QCOMPARE(m_link->ConnectCaption(), kOffline);
        QVERIFY(!cmdTimer->isActive());
        QCOMPARE(look.size(), 1);

        m_link->cmdConnect_Click();
        QVERIFY(m_link->IsOnline());
        QVERIFY(m_port->PortOpen());
        QCOMPARE(m_link->ConnectCaption(), kOnline);
        QVERIFY(cmdTimer->isActive());
        QCOMPARE(look.size(), 2);
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    void connectToMissingOrBusyPortStaysOfflineWithMessage_data() {
        QTest::addColumn<bool>("busy");
        QTest::newRow("no such port") << false;
        QTest::newRow("held by another program") << true;
    }
    void connectToMissingOrBusyPortStaysOfflineWithMessage() {
        QFETCH(bool, busy);
        m_link->OpenAtStartup();
        m_link->cmdConnect_Click();
        (busy ? m_port->BusyPorts : m_port->MissingPorts) << G_Param.PortNumber;

        m_link->cmdConnect_Click();

        QVERIFY(!m_link->IsOnline());
        QCOMPARE(m_link->ConnectCaption(), kOffline);
        QCOMPARE(m_link->ConnectPicture(), 4);
        QCOMPARE(m_dialogs->Transcript.size(), 1);
        QCOMPARE(m_dialogs->Transcript.first().Text, kPortNotOpened);
        QCOMPARE(m_dialogs->Transcript.first().Icon, MsgIcon::Warning);
        QCOMPARE(m_dialogs->Transcript.first().Title, QStringLiteral("Hakaron"));
    }

    void setLinkOnlineReportsAFailedOpen() {
        QVERIFY(m_link->SetLinkOnline(false));
        m_port->MissingPorts << 1;
        QVERIFY(!m_link->SetLinkOnline(true));
        m_port->MissingPorts.clear();
        QVERIFY(m_link->SetLinkOnline(true));
        QVERIFY(m_port->PortOpen());
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    void cmdTimerCyclesTheOnlinePictures() {
        m_link->OpenAtStartup();
        QSignalSpy look(m_link.get(), &MeterLink::LookChanged);
        QList<int> pictures;
        for (int i = 0; i < 5; ++i) {
            m_link->CmdTimer_Timer();
            pictures << m_link->ConnectPicture();
        }
        QCOMPARE(pictures, (QList<int>{1, 2, 3, 1, 2}));
        QVERIFY(look.size() >= 4);
        QVERIFY(m_link->findChild<QTimer*>(QStringLiteral("CmdTimer"))->isActive());
        QCOMPARE(m_link->ConnectCaption(), kOnline);
    }

    // A port closed without an event never looks online: the next tick shows offline, and the
    // link watches for the meter as after an unplug.
    void aPortClosedWithoutAWordShowsOfflineAtTheNextTick() {
        m_link->OpenAtStartup();
        m_port->SetPortOpen(false);
        m_link->CmdTimer_Timer();
        QCOMPARE(m_link->ConnectCaption(), kOffline);
        QVERIFY(!m_link->IsOnline());
        m_link->ReconnectTimer_Timer();
        QVERIFY(m_port->PortOpen());
        QCOMPARE(m_link->ConnectCaption(), kOnline);
    }

    void timersStartAsTheWindowHasThem() {
        auto* dsp = m_link->findChild<QTimer*>(QStringLiteral("DspTimer"));
        auto* cmd = m_link->findChild<QTimer*>(QStringLiteral("CmdTimer"));
        QVERIFY(dsp && cmd);
        QCOMPARE(dsp->interval(), 200);
        QVERIFY(!dsp->isActive());
        QCOMPARE(cmd->interval(), 500);
        QVERIFY(cmd->isActive());
    }

    void reopenAfterSettingsReopensEvenWhenSwitchedOff() {
        m_link->OpenAtStartup();
        m_link->cmdConnect_Click();
        QVERIFY(!m_link->IsOnline());

        m_link->SetLinkOnline(false);  // the dialog runs with the link suspended
        m_link->ReopenAfterSettings();

        QVERIFY(m_link->IsOnline());
        QVERIFY(m_port->PortOpen());
        QCOMPARE(m_link->ConnectCaption(), kOnline);
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    void reopenAfterSettingsFailureGoesOfflineWithCommErrorTitle() {
        m_link->OpenAtStartup();
        m_link->SetLinkOnline(false);
        m_port->MissingPorts << G_Param.PortNumber;

        m_link->ReopenAfterSettings();

        QVERIFY(!m_link->IsOnline());
        QCOMPARE(m_link->ConnectCaption(), kOffline);
        QCOMPARE(m_dialogs->Transcript.size(), 1);
        const auto& entry = m_dialogs->Transcript.first();
        QCOMPARE(entry.Title, QStringLiteral("通信エラー"));
        QCOMPARE(entry.Icon, MsgIcon::Warning);
        QCOMPARE(entry.Text,
                 QStringLiteral("通信ポートが開きませんでした。\r\nオフライン状態で再開します。"));
    }

    // --- start-up ---

    void openAtStartupAppliesTheSavedSettings() {
        m_link->OpenAtStartup();
        QVERIFY(m_link->IsOnline());
        QVERIFY(m_port->PortOpen());
        QCOMPARE(m_port->CommPort(), 2);
        QCOMPARE(m_port->Settings(), QStringLiteral("9600,n,8,1"));
        QCOMPARE(m_port->Handshaking(), 2);
        QVERIFY(m_port->RTSEnable());
        QCOMPARE(m_port->SThreshold(), 1);
        QCOMPARE(m_port->RThreshold(), 1);
        QCOMPARE(m_link->ConnectCaption(), kOnline);
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QVERIFY(!QFile::exists(m_folder->SettingsFile()));
    }

    void openAtStartupResetsUnusableSettings_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("portNumber");
        QTest::newRow("empty settings") << "" << 2;
        QTest::newRow("bad baud rate") << "4801,E,8,1" << 2;
        QTest::newRow("port out of range") << "9600,N,8,1" << 0;
    }

    void openAtStartupResetsUnusableSettings() {
        QFETCH(QString, settings);
        QFETCH(int, portNumber);
        G_Param.CommSettings = settings;
        G_Param.PortNumber = int16_t(portNumber);

        m_link->OpenAtStartup();

        QCOMPARE(m_dialogs->Transcript.size(), 1);
        const auto& entry = m_dialogs->Transcript.first();
        QCOMPARE(entry.Text, QStringLiteral("通信設定に障害が発生しました\r\n初期値に戻します"));
        QCOMPARE(entry.Icon, MsgIcon::Warning);
        QCOMPARE(entry.Title, QStringLiteral("Hakaron"));
        QCOMPARE(G_Param.CommSettings, QStringLiteral("4800,E,8,1"));
        QCOMPARE(m_port->Settings(), QStringLiteral("4800,e,8,1"));
        QFile file(m_folder->SettingsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("\"4800,E,8,1\",") + QByteArray::number(portNumber) + ",1,1,2\r\n");
        QVERIFY(m_port->PortOpen());
        QVERIFY(m_link->IsOnline());
    }

    void openAtStartupWithMissingPortStartsOffline() {
        m_port->MissingPorts << 2;
        QSignalSpy look(m_link.get(), &MeterLink::LookChanged);

        m_link->OpenAtStartup();

        QCOMPARE(m_dialogs->Texts(), QStringList{kPortNotOpened});
        QCOMPARE(m_dialogs->Transcript.first().Icon, MsgIcon::Warning);
        QVERIFY(!m_link->IsOnline());
        QVERIFY(!m_port->PortOpen());
        QCOMPARE(m_link->ConnectPicture(), 4);
        QCOMPARE(m_link->ConnectCaption(), kOffline);
        QVERIFY(!m_link->findChild<QTimer*>(QStringLiteral("CmdTimer"))->isActive());
        QCOMPARE(look.size(), 1);
    }

    // --- receive events ---

    void commErrorsShowTheirMessage_data() {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("text");  // empty: ignored
        QTest::newRow("send below threshold") << 1 << "";
        QTest::newRow("CTS") << 3 << "";
        QTest::newRow("DSR") << 4 << "";
        QTest::newRow("CD") << 5 << "";
        QTest::newRow("ring") << 6 << "";
        QTest::newRow("EOF character") << 7 << "";
        QTest::newRow("break") << 1001 << "中断信号が受信されました";
        QTest::newRow("framing") << 1004 << "フレーム エラーです\r\n通信設定は合っていますか？";
        QTest::newRow("overrun") << 1006 << "オーバーランによりデータが失われました";
        QTest::newRow("overflow") << 1008 << "受信バッファがオーバーフローしました";
        QTest::newRow("parity") << 1009 << "中パリティ エラーです\r\n通信設定は合っていますか？";
        QTest::newRow("send buffer full") << 1010 << "送信バッファがいっぱいです";
        QTest::newRow("DCB") << 1011
                             << "デバイス コントロール ブロック (DCB) が取得される\r\n"
                                "予期しないエラーです";
        QTest::newRow("unknown code") << 1234 << "未定義のエラーが発生しました。";
        QTest::newRow("zero") << 0 << "未定義のエラーが発生しました。";
    }

    void commErrorsShowTheirMessage() {
        QFETCH(int, event);
        QFETCH(QString, text);
        m_link->OpenAtStartup();

        m_port->RaiseEvent(event);

        // Told in the window, never in a box that would hold the readings back.
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(m_display->Notices, text.isEmpty() ? QStringList() : QStringList{text});
        // A line error leaves the link as it was.
        QVERIFY(m_port->PortOpen());
        QVERIFY(m_link->IsOnline());
        QCOMPARE(m_link->ConnectCaption(), kOnline);
    }

    void oneChunkWithTwoFramesDecodesBothInOrder() {
        m_link->OpenAtStartup();
        G_Param.LastCommand = QStringLiteral("ST");

        m_port->Receive(Frame("SY0  170.0") + Frame("TZ0   60.0"));

        QCOMPARE(m_display->Lines,
                 (QStringList{QStringLiteral("身長  170.0cm"), QStringLiteral("体重   60.0kg")}));
        QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), QStringLiteral("170.0"));
        QCOMPARE(m_display->BmiLabel, QStringLiteral("20.8"));
        QCOMPARE(m_display->Arms, (QList<int>{2000, 2000}));
    }

    // A flood brings hundreds of frames to one receive event: what they leave must be what
    // the same frames leave one by one.
    void oneChunkEndsAsFrameByFrame_data() {
        QTest::addColumn<QByteArrayList>("frames");
        QTest::addColumn<QString>("lastCommand");
        const QByteArray height = Frame("SY0  170.0");
        QTest::newRow("weights and lengths") << QByteArrayList{height,
                                                               Frame("TZ0   60.0"),
                                                               Frame("SY0  180.5"),
                                                               Frame("TZ0   70.5"),
                                                               Frame("ZK0   90.0"),
                                                               Frame("TZ0   81.2")}
                                             << u"ST"_qs;
        QTest::newRow("status between weights")
            << QByteArrayList{height, Frame("TZ0   60.0"), Frame("UL0"), Frame("TZ0   61.0")}
            << u"ST"_qs;
        QTest::newRow("blank weight last")
            << QByteArrayList{height, Frame("TZ0   60.0"), Frame("TZ0       ")} << u"ST"_qs;
        QTest::newRow("weight with scale state")
            << QByteArrayList{height, Frame("TZ0   60.0"), Frame("TL0   62.0"), Frame("TZ0   63.0")}
            << u"ST"_qs;
        QTest::newRow("after the meter-status request")
            << QByteArrayList{Frame("TZ0   60.0"), Frame("TZ0   61.0")} << u"MS"_qs;
    }
    void oneChunkEndsAsFrameByFrame() {
        QFETCH(QByteArrayList, frames);
        QFETCH(QString, lastCommand);
        struct Outcome {
            MeasureRecord buffer;
            MeasureValues current;
            QStringList events;
            QString bmiLabel;
            QStringList messages;
            bool operator==(const Outcome&) const = default;
        };
        const auto decode = [&](bool oneChunk) {
            G_Param.RecordBuffer = MeasureRecord{};
            G_Param.CurrentValues = MeasureValues{};
            G_Param.LastCommand = lastCommand;
            SerialPortDouble port;
            DialogsDouble dialogs;
            RecordingDisplay display;
            MeterLink link(port, dialogs, display);
            link.OpenAtStartup();
            if (oneChunk) {
                port.Receive(frames.join());
            } else {
                for (const QByteArray& frame : frames) port.Receive(frame);
            }
            return Outcome{G_Param.RecordBuffer, G_Param.CurrentValues, display.Events,
                           display.BmiLabel, dialogs.Texts()};
        };
        const Outcome alone = decode(false);
        QVERIFY(decode(true) == alone);
        QVERIFY(!alone.events.isEmpty() || !alone.messages.isEmpty());
    }

    void pictureBoxIsClearedOnlyAfterDspTimerFired() {
        m_link->OpenAtStartup();
        G_Param.LastCommand = QStringLiteral("SY");
        auto* dsp = m_link->findChild<QTimer*>(QStringLiteral("DspTimer"));

        m_port->Receive(Frame("SY0  170.0"));  // no clear asked for yet
        QCOMPARE(m_display->Clears, 0);
        QVERIFY(dsp->isActive());

        m_link->SetClearPending();
        m_port->Receive(Frame("SY0  171.0"));
        QCOMPARE(m_display->Clears, 1);
        QVERIFY(!m_link->ClearPending());

        m_port->Receive(Frame("SY0  172.0"));  // within the burst: lines stay together
        QCOMPARE(m_display->Clears, 1);
        QCOMPARE(m_display->Lines,
                 (QStringList{QStringLiteral("身長  171.0cm"), QStringLiteral("身長  172.0cm")}));

        m_link->DspTimer_Timer();
        QVERIFY(!dsp->isActive());
        QVERIFY(m_link->ClearPending());
        m_port->Receive(Frame("SY0  173.0"));
        QCOMPARE(m_display->Clears, 2);
        QCOMPARE(m_display->Lines, QStringList{QStringLiteral("身長  173.0cm")});
        QCOMPARE(m_display->Events.mid(m_display->Events.size() - 2),
                 (QStringList{QStringLiteral("clear"), QStringLiteral("print:身長  173.0cm")}));
    }

    void vanishedDeviceGivesOneNoticeAndGoesOffline() {
        m_link->OpenAtStartup();
        QSignalSpy look(m_link.get(), &MeterLink::LookChanged);

        m_port->Vanish();
        // The dying line's own errors tell nothing more.
        m_port->RaiseEvent(CommEvents::Frame);
        m_port->RaiseEvent(1234);

        QCOMPARE(m_display->Notices, QStringList{kVanished});
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QVERIFY(!m_link->IsOnline());
        QVERIFY(!m_port->PortOpen());
        QCOMPARE(m_link->ConnectCaption(), kOffline);
        QCOMPARE(m_link->ConnectPicture(), 4);
        QVERIFY(!m_link->findChild<QTimer*>(QStringLiteral("CmdTimer"))->isActive());
        QVERIFY(look.size() >= 1);

        // The connect button brings the link back, and the notice goes.
        QCOMPARE(m_display->LinkBacks, 0);
        m_link->cmdConnect_Click();
        QVERIFY(m_link->IsOnline());
        QVERIFY(m_port->PortOpen());
        QCOMPARE(m_link->ConnectCaption(), kOnline);
        QCOMPARE(m_display->LinkBacks, 1);
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    // The user's own move ends the watching; another window holds it while the link is shut.
    void userActionOnTheLinkEndsTheWatching_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("connect button") << "connect";
        QTest::newRow("communication settings") << "settings";
        QTest::newRow("another window") << "window";
    }
    void userActionOnTheLinkEndsTheWatching() {
        QFETCH(QString, action);
        m_link->OpenAtStartup();
        m_port->Vanish();
        m_port->MissingPorts << G_Param.PortNumber;
        auto* watch = m_link->findChild<QTimer*>(QStringLiteral("ReconnectTimer"));
        if (action == u"connect") m_link->cmdConnect_Click();
        if (action == u"settings") m_link->ReopenAfterSettings();
        if (action == u"window")
            RunWithLinkSuspended(*m_link, [&] { QVERIFY(!watch->isActive()); });
        QCOMPARE(watch->isActive(), action == u"window");
    }

    void frameCutByAVanishedDeviceDoesNotGarbleTheNextOne() {
        m_link->OpenAtStartup();
        G_Param.LastCommand = QStringLiteral("SY");
        m_port->Receive(
            "\x02"
            "SY0  1");
        m_port->Vanish();
        QCOMPARE(int(m_link->Assembler().RecvState()), 0);

        m_link->cmdConnect_Click();
        m_port->Receive(Frame("SY0  170.0"));

        QCOMPARE(G_Param.CurrentValues.Height.Trimmed(), QStringLiteral("170.0"));
        QCOMPARE(m_display->Lines, QStringList{QStringLiteral("身長  170.0cm")});
    }

    // Frames the window is not ready for (a question is open, a failed write is on display)
    // wait, in order, and none overtakes another.
    void framesWaitInOrderUntilTheWindowIsReady_data() {
        QTest::addColumn<QString>("holdBy");
        QTest::newRow("not ready") << "ready";
        QTest::newRow("a value refused") << "value";
    }
    void framesWaitInOrderUntilTheWindowIsReady() {
        QFETCH(QString, holdBy);
        m_link->OpenAtStartup();
        G_Param.LastCommand = QStringLiteral("SY");
        (holdBy == u"ready" ? m_display->Ready : m_display->TakesValues) = false;
        m_port->Receive(Frame("SY0  170.0") + Frame("SY0  171.0"));
        m_port->Receive(Frame("SY0  172.0"));
        QVERIFY(m_display->Lines.isEmpty());
        QCOMPARE(m_link->FramesWaiting(), 3);
        m_link->DecodeWaiting();
        QCOMPARE(m_link->FramesWaiting(), 3);
        m_display->Ready = m_display->TakesValues = true;
        m_link->DecodeWaiting();
        QCOMPARE(m_link->FramesWaiting(), 0);
        QCOMPARE(m_display->Lines,
                 (QStringList{u"身長  170.0cm"_qs, u"身長  171.0cm"_qs, u"身長  172.0cm"_qs}));
    }

private:
    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<SerialPortDouble> m_port;
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::unique_ptr<RecordingDisplay> m_display;
    std::unique_ptr<MeterLink> m_link;
};

QTEST_MAIN(TestMeterLink)
#include "tst_meterlink.moc"
