#include "MeterLink.h"

#include <QMetaMethod>
#include <QTimer>
#include <cstdint>

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

const QString kOnline = QStringLiteral("オンライン");
const QString kOffline = QStringLiteral("オフライン");
const QString kPortNotOpened =
    QStringLiteral("通信ポートが開きませんでした。\r\n通信設定をもう一度ご確認ください。\r\n");
const QString kUndefinedError = QStringLiteral("未定義のエラーが発生しました。");

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
    bool isOnline = false;
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

void MeterLink::cmdConnect_Click() {
    if (d->isOnline) {
        SetLinkOnline(false);
        d->isOnline = false;
        return;
    }
    if (SetLinkOnline(true)) {
        d->isOnline = true;
    } else {
        d->isOnline = false;
        d->dialogs.Message(kPortNotOpened, MsgIcon::Warning);
    }
}

void MeterLink::ReopenAfterSettings() {
    if (SetLinkOnline(true)) {
        d->isOnline = true;
    } else {
        d->isOnline = false;
        d->dialogs.Message(
            QStringLiteral("通信ポートが開きませんでした。\r\nオフライン状態で再開します。"),
            MsgIcon::Warning, QStringLiteral("通信エラー"));
    }
}

void MeterLink::OpenAtStartup() {
    SerialPort& port = d->port;
    d->isOnline = true;
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
    d->port.SetOutput(QString::fromLatin1(CommandFrame(code)));
}

void MeterLink::mscPort_OnComm() {
    const int event = d->port.CommEvent();
    if (event == CommEvents::Receive) {
        // The frames are taken from the assembler before any is decoded: a message box that
        // decoding shows lets the next receive event feed it again.
        const FinishedFrames frames = d->assembler.Feed(d->port.Input());
        // A listener to the frames may look at any value, so then every frame derives all.
        const bool announce = isSignalConnected(QMetaMethod::fromSignal(&MeterLink::FrameReceived));
        const QString decidedWith = G_Param.LastCommand;
        const std::vector<bool> needed = announce ? std::vector<bool>(size_t(frames.size()), true)
                                                  : WeightIndicesNeeded(frames, decidedWith);
        for (qsizetype i = 0; i < frames.size(); ++i) {
            const FrameResponse response = ResponseOf(frames[i], G_Param.LastCommand);
            if (d->clearPending == 1) {
                d->display.ClearPrint();
                d->clearPending = 0;
            }
            if (announce)
                emit FrameReceived(response.ResponseCode.toString(),
                                   response.ResponseData.toString());
            // A command sent from a message box meanwhile reads the rest differently.
            const bool derive = needed[size_t(i)] || G_Param.LastCommand != decidedWith;
            DecodeFrame(response.ResponseCode, response.ResponseData, d->display, d->dialogs,
                        derive);
            // Lines printed in quick succession stay together on the received-data box.
            if (!d->dspTimer->isActive()) d->dspTimer->start();
        }
        return;
    }
    if (IsIgnoredEvent(event)) return;

    // A device that went away has closed the port: show the link offline, so that the user
    // reconnects with the connect button, rather than pretending it still works; the offline
    // look is up before the message box. Its unfinished frame would only garble the first
    // frame after reconnecting. After a line error the partial frame stays: the next
    // characters go on assembling it.
    if (event == CommEvents::DeviceVanished || !d->port.PortOpen()) {
        d->assembler.Reset();
        SetLinkOnline(false);
        d->isOnline = false;
    }
    d->dialogs.Message(CommErrorText(event), MsgIcon::Warning);
}

void MeterLink::DspTimer_Timer() {
    d->clearPending = 1;
    d->dspTimer->stop();
}

void MeterLink::CmdTimer_Timer() {
    d->cmdTimer->stop();
    SetLook(d->connectAnimFrame + 1, d->caption);
    d->connectAnimFrame = d->connectAnimFrame == 2 ? 0 : d->connectAnimFrame + 1;
    d->cmdTimer->start();
}
