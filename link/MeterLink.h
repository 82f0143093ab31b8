#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "MainWindowHooks.h"

class FrameAssembler;
class QTimer;
class SerialPort;
class Dialogs;
class LiveDisplay;

// The link to the meter as the main window owns it: the port's receive events, frame
// assembly and decoding, the online/offline state with the connect button's look, and
// command sending. A meter that vanished is reopened by itself once it is back, and a
// request in command mode that gets no answer is told.
class MeterLink : public QObject, public LinkControl {
    Q_OBJECT
public:
    MeterLink(SerialPort& port, Dialogs& dialogs, LiveDisplay& display, QObject* parent = nullptr);
    ~MeterLink() override;

    // LinkControl
    bool SetLinkOnline(bool open) override;
    bool IsOnline() const override;
    void SetIsOnline(bool online) override;
    void ResumeLink() override;

    // Start-up: applies the saved port number and line settings (resetting unusable line
    // settings to the defaults and rewriting user.dat), the control properties, and opens
    // the port; a missing port leaves the link offline with its message.
    void OpenAtStartup();
    // The next frame clears the received-data box first.
    void SetClearPending();
    // After the communication settings dialog: reopen whatever IsOnline was; on failure
    // offline with the "通信エラー" message.
    void ReopenAfterSettings();
    // Sends request `index` of the command table (asks first in manual mode).
    void SendCommand(int index);
    // Decodes the frames that waited while the display was not ready, in order, for as long
    // as it stays ready.
    void DecodeWaiting();
    // How many finished frames wait to be decoded.
    int FramesWaiting() const;

    // 1-3: the online animation pictures, 4: the offline picture.
    int ConnectPicture() const;
    QString ConnectCaption() const;  // "オンライン" / "オフライン"

    // The frame being assembled from the receive events.
    const FrameAssembler& Assembler() const;
    // Whether the next frame clears the received-data box first.
    bool ClearPending() const;
    // 0-2: the online picture the next CmdTimer tick shows (picture ConnectAnimFrame + 1).
    int ConnectAnimFrame() const;

signals:
    // The connect button's picture or the link caption changed.
    void LookChanged();
    // A finished frame, just before it is decoded.
    void FrameReceived(const QString& responseCode, const QString& responseData);

public slots:
    void cmdConnect_Click();
    void mscPort_OnComm();
    void DspTimer_Timer();
    void CmdTimer_Timer();
    // About once a second after the meter vanished: reopens the port once it is back.
    void ReconnectTimer_Timer();
    // Tells each request of command mode that got no frame in time.
    void AnswerTimer_Timer();

private:
    void SetLook(int picture, const QString& caption);
    void ShowOfflineLook();
    void StartWatching();
    void StopWatching();
    void ExpectAnswer();
    void ForgetRequests();
    void NoteFramesArrived();
    void ClearIfPending();
    // Decodes one frame; false when the display did not take it (it waits).
    bool Decode(QStringView frame, bool derive);

    // A line of the link's own on the received-data box, kept together with the frames'.
    void PrintOwnLine(const QString& line);

    struct State;
    std::unique_ptr<State> d;
};
