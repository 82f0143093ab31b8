#include "MeterLink.h"

#include <QDeadlineTimer>
#include <QMetaMethod>
#include <QTime>
#include <QTimer>
#include <cstdint>
#include <deque>

#include "Commands.h"
#include "Dialogs.h"
#include "FrameAssembler.h"
#include "G_Const.h"
#include "G_Param.h"
#include "LiveDisplay.h"
#include "SerialPort.h"
#include "mdlMainDisp.h"
#include "mdlPublicWriteFunc.h"

namespace {

constexpr int kDspInterval = 200;
constexpr int kCmdInterval = 500;
constexpr int kOfflinePicture = 4;
constexpr int kReconnectInterval = 1000;
constexpr int kAnswerWait = 2000;  // the meter answers within a few hundred milliseconds

const QString kOnline = QStringLiteral("オンライン");
const QString kOffline = QStringLiteral("オフライン");
const QString kPortNotOpened =
    QStringLiteral("通信ポートが開きませんでした。\r\n通信設定をもう一度ご確認ください。\r\n");
const QString kUndefinedError = QStringLiteral("未定義のエラーが発生しました。");
const QString kVanished = kUndefinedError + QStringLiteral(
                                                "\r\n測定器との接続が切れました。"
                                                "\r\nケーブルと測定器の電源を確認してください。"
                                                "\r\n測定器が戻ると自動で接続し直します。");
const QString kReconnected = QStringLiteral("再接続しました");
const QString kNoAnswer = QStringLiteral("測定器から応答がありません");
const QString kNoAnswerCauses = QStringLiteral(
    "考えられる原因：\n"
    "・測定器の電源が入っていない\n"
    "・ケーブルが外れている、またはゆるんでいる\n"
    "・通信設定のポート番号が、測定器をつないだポートと違う\n"
    "・ユーザ設定のモードが測定器と違う（測定器がマニュアルモードになっている）");

bool IsIgnoredEvent(int event) {
    switch (event) {
        case CommEvents::SendBelowThreshold:
        case CommEvents::CtsChange:
        case CommEvents::DsrChange:
        case CommEvents::CdChange:
        case CommEvents::Ring:
        case CommEvents::EofReceived:
            return true;
        default:
            return false;
    }
}

QString CommErrorText(int event) {
    switch (event) {
        case CommEvents::Break:
            return QStringLiteral("中断信号が受信されました");
        case CommEvents::Frame:
            return QStringLiteral("フレーム エラーです\r\n通信設定は合っていますか？");
        case CommEvents::Overrun:
            return QStringLiteral("オーバーランによりデータが失われました");
        case CommEvents::RxOver:
            return QStringLiteral("受信バッファがオーバーフローしました");
        case CommEvents::RxParity:
            return QStringLiteral("中パリティ エラーです\r\n通信設定は合っていますか？");
        case CommEvents::TxFull:
            return QStringLiteral("送信バッファがいっぱいです");
        case CommEvents::Dcb:
            return QStringLiteral(
                "デバイス コントロール ブロック (DCB) が取得される\r\n予期しないエラーです");
        default:
            return kUndefinedError;
    }
}

}  // namespace

struct MeterLink::State {
    State(SerialPort& p, Dialogs& dl, LiveDisplay& ds) : port(p), dialogs(dl), display(ds) {}

    SerialPort& port;
    Dialogs& dialogs;
    LiveDisplay& display;
    FrameAssembler assembler;
    QTimer* dspTimer = nullptr;
    QTimer* cmdTimer = nullptr;
    QTimer* reconnectTimer = nullptr;
    QTimer* answerTimer = nullptr;
    bool isOnline = false;
    // Off, or waiting for a vanished meter; held while another window has the link offline.
    enum class Watch { Off, On, Held } watch = Watch::Off;
    std::deque<QDeadlineTimer> unanswered;  // requests of command mode without a frame yet
    std::deque<QString> waiting;            // finished frames the display was not ready for
    bool decoding = false;                  // a frame is being decoded (a box may be open)
    QTime lastReceived;                     // when the last frame came; invalid: none yet
    uint8_t clearPending = 0;
    int connectAnimFrame = 0;
    // The look before start-up: the timer animates the button from the first picture on.
    int picture = 1;
    QString caption = kOnline;
};

MeterLink::MeterLink(SerialPort& port, Dialogs& dialogs, LiveDisplay& display, QObject* parent)
    : QObject(parent), d(std::make_unique<State>(port, dialogs, display)) {
    d->dspTimer = new QTimer(this);
    d->dspTimer->setObjectName(QStringLiteral("DspTimer"));
    d->dspTimer->setInterval(kDspInterval);
    connect(d->dspTimer, &QTimer::timeout, this, &MeterLink::DspTimer_Timer);

    d->cmdTimer = new QTimer(this);
    d->cmdTimer->setObjectName(QStringLiteral("CmdTimer"));
    d->cmdTimer->setInterval(kCmdInterval);
    connect(d->cmdTimer, &QTimer::timeout, this, &MeterLink::CmdTimer_Timer);
    d->cmdTimer->start();

    d->reconnectTimer = new QTimer(this);
    d->reconnectTimer->setObjectName(QStringLiteral("ReconnectTimer"));
    d->reconnectTimer->setInterval(kReconnectInterval);
    connect(d->reconnectTimer, &QTimer::timeout, this, &MeterLink::ReconnectTimer_Timer);

    d->answerTimer = new QTimer(this);
    d->answerTimer->setObjectName(QStringLiteral("AnswerTimer"));
    d->answerTimer->setSingleShot(true);
    connect(d->answerTimer, &QTimer::timeout, this, &MeterLink::AnswerTimer_Timer);

    connect(&port, &SerialPort::OnComm, this, &MeterLink::mscPort_OnComm);
}

MeterLink::~MeterLink() = default;

bool MeterLink::IsOnline() const {
    return d->isOnline;
}
void MeterLink::SetIsOnline(bool online) {
    d->isOnline = online;
}
int MeterLink::ConnectPicture() const {
    return d->picture;
}
QString MeterLink::ConnectCaption() const {
    return d->caption;
}
const FrameAssembler& MeterLink::Assembler() const {
    return d->assembler;
}
bool MeterLink::ClearPending() const {
    return d->clearPending == 1;
}
int MeterLink::ConnectAnimFrame() const {
    return d->connectAnimFrame;
}
void MeterLink::SetClearPending() {
    d->clearPending = 1;
}

void MeterLink::SetLook(int picture, const QString& caption) {
    if (picture == d->picture && caption == d->caption) return;
    d->picture = picture;
    d->caption = caption;
    emit LookChanged();
}

void MeterLink::ShowOfflineLook() {
    d->cmdTimer->stop();
    SetLook(kOfflinePicture, kOffline);
}

bool MeterLink::SetLinkOnline(bool open) {
    if (!open) {
        // Another window takes the link offline: a meter coming back meanwhile waits until
        // it has closed (ResumeLink).
        if (d->watch == State::Watch::On) {
            d->watch = State::Watch::Held;
            d->reconnectTimer->stop();
        }
        ForgetRequests();
    }
    const int error = d->port.SetPortOpen(open);
    if (!open) {
        ShowOfflineLook();
        return true;
    }
    // Any refused open (no such port, or a device that is busy or forbidden) leaves the
    // port closed, so it must never look online.
    if (error != CommErrors::None || !d->port.PortOpen()) {
        ShowOfflineLook();
        return false;
    }
    d->cmdTimer->start();
    SetLook(d->picture, kOnline);
    return true;
}

void MeterLink::ResumeLink() {
    if (d->watch == State::Watch::Held) StartWatching();
    LinkControl::ResumeLink();
}

void MeterLink::StartWatching() {
    d->watch = State::Watch::On;
    d->reconnectTimer->start();
}

void MeterLink::StopWatching() {
    d->watch = State::Watch::Off;
    d->reconnectTimer->stop();
}

void MeterLink::ReconnectTimer_Timer() {
    if (d->watch != State::Watch::On) return;
    // As a press of the connect button would, on the same COMn with the same settings, but
    // without a message while the meter stays away.
    if (!SetLinkOnline(true)) return;
    StopWatching();
    d->isOnline = true;
    d->display.LinkBack();
    PrintOwnLine(kReconnected);
}

void MeterLink::cmdConnect_Click() {
    StopWatching();  // the user decides now
    if (d->isOnline) {
        SetLinkOnline(false);
        d->isOnline = false;
        return;
    }
    if (SetLinkOnline(true)) {
        d->isOnline = true;
        d->display.LinkBack();
    } else {
        d->isOnline = false;
        d->dialogs.Message(kPortNotOpened, MsgIcon::Warning);
    }
}

void MeterLink::ReopenAfterSettings() {
    StopWatching();
    if (SetLinkOnline(true)) {
        d->isOnline = true;
        d->display.LinkBack();
    } else {
        d->isOnline = false;
        d->dialogs.Message(
            QStringLiteral("通信ポートが開きませんでした。\r\nオフライン状態で再開します。"),
            MsgIcon::Warning, QStringLiteral("通信エラー"));
    }
}

void MeterLink::OpenAtStartup() {
    SerialPort& port = d->port;
    const int portError = port.SetCommPort(G_Param.PortNumber);
    const int settingsError = port.SetSettings(G_Param.CommSettings);
    if (portError == CommErrors::InvalidProperty || settingsError == CommErrors::InvalidProperty) {
        d->dialogs.Message(QStringLiteral("通信設定に障害が発生しました\r\n初期値に戻します"),
                           MsgIcon::Warning);
        G_Param.CommSettings = G_Const::DefaultCommSettings;
        port.SetSettings(G_Param.CommSettings);
        if (const FileResult result = WriteSettings(); !result)
            d->dialogs.Message(result.Message(), MsgIcon::Warning);
    }
    port.SetHandshaking(2);
    port.SetRTSEnable(true);
    port.SetSThreshold(1);
    port.SetRThreshold(1);
    d->isOnline = true;
    if (port.SetPortOpen(true) != CommErrors::None) {
        d->dialogs.Message(kPortNotOpened, MsgIcon::Warning);
        port.SetPortOpen(false);
        SetLinkOnline(false);
        d->isOnline = false;
    }
}

void MeterLink::SendCommand(int index) {
    const auto table = CommandTable();
    if (index < 0 || index >= int(table.size())) return;
    const bool send = G_Param.OperationMode == 1 ||
                      d->dialogs.AskYesNo(QStringLiteral("ユーザ設定が違います\r\n送信しますか？"));
    if (!send || !d->port.PortOpen()) return;
    const QString& code = table[size_t(index)].Code;
    G_Param.LastCommand = code;
    if (d->port.SetOutput(QString::fromLatin1(CommandFrame(code))) == CommErrors::None &&
        G_Param.OperationMode == 1)
        ExpectAnswer();
}

void MeterLink::ExpectAnswer() {
    d->unanswered.emplace_back(kAnswerWait);
    if (!d->answerTimer->isActive()) d->answerTimer->start(kAnswerWait);
}

void MeterLink::ForgetRequests() {
    d->unanswered.clear();
    d->answerTimer->stop();
}

void MeterLink::AnswerTimer_Timer() {
    // Once for each request: a silent meter is told as often as it is asked, never more.
    while (!d->unanswered.empty() && d->unanswered.front().hasExpired()) {
        d->unanswered.pop_front();
        PrintOwnLine(kNoAnswer);
        const QString last = d->lastReceived.isValid()
                                 ? QStringLiteral("　最終受信 ") +
                                       d->lastReceived.toString(QStringLiteral("HH:mm:ss"))
                                 : QString();
        d->display.ShowLinkStatus(kNoAnswer + last, kNoAnswerCauses);
    }
    if (!d->unanswered.empty())
        d->answerTimer->start(int(std::max<qint64>(1, d->unanswered.front().remainingTime())));
}

void MeterLink::NoteFramesArrived() {
    // Any frame shows the meter is there; it answers every request sent before it.
    ForgetRequests();
    d->lastReceived = QTime::currentTime();
    d->display.ShowLinkStatus(
        QStringLiteral("最終受信 ") + d->lastReceived.toString(QStringLiteral("HH:mm:ss")), {});
}

void MeterLink::ClearIfPending() {
    if (d->clearPending != 1) return;
    d->display.ClearPrint();
    d->clearPending = 0;
}

void MeterLink::PrintOwnLine(const QString& line) {
    ClearIfPending();
    d->display.PrintLine(line);
    if (!d->dspTimer->isActive()) d->dspTimer->start();
}

int MeterLink::FramesWaiting() const {
    return int(d->waiting.size());
}

bool MeterLink::Decode(QStringView frame, bool derive) {
    const FrameResponse response = ResponseOf(frame, G_Param.LastCommand);
    if (isSignalConnected(QMetaMethod::fromSignal(&MeterLink::FrameReceived)))
        emit FrameReceived(response.ResponseCode.toString(), response.ResponseData.toString());
    ClearIfPending();
    const bool outer = d->decoding;
    d->decoding = true;
    const bool taken =
        DecodeFrame(response.ResponseCode, response.ResponseData, d->display, d->dialogs, derive);
    d->decoding = outer;
    // Lines printed in quick succession stay together on the received-data box.
    if (!d->dspTimer->isActive()) d->dspTimer->start();
    return taken;
}

void MeterLink::DecodeWaiting() {
    // One frame at a time: one that opens a box lets the next receive event queue behind it.
    while (!d->decoding && !d->waiting.empty() && d->display.ReadyForFrames()) {
        const QString frame = d->waiting.front();
        if (!Decode(frame, true)) return;
        d->waiting.pop_front();
    }
}

void MeterLink::mscPort_OnComm() {
    const int event = d->port.CommEvent();
    if (event == CommEvents::Receive) {
        // The frames are taken from the assembler before any is decoded: a message box that
        // decoding shows lets the next receive event feed it again.
        const FinishedFrames frames = d->assembler.Feed(d->port.Input());
        if (!frames.isEmpty()) NoteFramesArrived();
        // A listener to the frames may look at any value, so then every frame derives all.
        const bool announce = isSignalConnected(QMetaMethod::fromSignal(&MeterLink::FrameReceived));
        const QString decidedWith = G_Param.LastCommand;
        const std::vector<bool> needed = announce ? std::vector<bool>(size_t(frames.size()), true)
                                                  : WeightIndicesNeeded(frames, decidedWith);
        qsizetype i = 0;
        // Frames wait behind those already waiting, and while the display is not ready for
        // them (a question is open): none is dropped, none overtakes another.
        for (;
             i < frames.size() && d->waiting.empty() && !d->decoding && d->display.ReadyForFrames();
             ++i) {
            // A command sent from a message box meanwhile reads the rest differently.
            const bool derive = needed[size_t(i)] || G_Param.LastCommand != decidedWith;
            if (!Decode(frames[i], derive)) break;
        }
        for (; i < frames.size(); ++i) d->waiting.emplace_back(frames[i].toString());
        DecodeWaiting();
        return;
    }
    if (IsIgnoredEvent(event)) return;

    // A device that went away has closed the port: show the link offline rather than
    // pretending it still works; the offline look is up before the notice. Its
    // unfinished frame would only garble the first frame after reconnecting. After a line
    // error the partial frame stays: the next characters go on assembling it.
    if (event == CommEvents::DeviceVanished || !d->port.PortOpen()) {
        d->assembler.Reset();
        SetLinkOnline(false);
        d->isOnline = false;
    }
    if (event == CommEvents::DeviceVanished) {
        // Watching starts before the notice; the meter may come back while it shows.
        StartWatching();
        d->display.ShowLinkNotice(kVanished);
        return;
    }
    // A line already told as gone raises errors of its own while it dies: nothing new.
    if (d->watch != State::Watch::Off) return;
    d->display.ShowLinkNotice(CommErrorText(event));
}

void MeterLink::DspTimer_Timer() {
    d->clearPending = 1;
    d->dspTimer->stop();
}

void MeterLink::CmdTimer_Timer() {
    // The word on screen is the truth: a port found closed without a word (an event lost on
    // the way) shows offline, and is watched for as a vanished meter is.
    if (d->isOnline && !d->port.PortOpen()) {
        d->assembler.Reset();
        SetLinkOnline(false);
        d->isOnline = false;
        StartWatching();
        return;
    }
    d->cmdTimer->stop();
    SetLook(d->connectAnimFrame + 1, d->caption);
    d->connectAnimFrame = d->connectAnimFrame == 2 ? 0 : d->connectAnimFrame + 1;
    d->cmdTimer->start();
}
