#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <optional>

#include "PortNames.h"

// Reasons of an OnComm event, as CommEvent reports them.
namespace CommEvents {
constexpr int SendBelowThreshold = 1;
constexpr int Receive = 2;
constexpr int CtsChange = 3;
constexpr int DsrChange = 4;
constexpr int CdChange = 5;
constexpr int Ring = 6;
constexpr int EofReceived = 7;
constexpr int Break = 1001;
constexpr int Frame = 1004;
constexpr int Overrun = 1006;
constexpr int RxOver = 1008;
constexpr int RxParity = 1009;
constexpr int TxFull = 1010;
constexpr int Dcb = 1011;
// The device went away (cable pulled, the other end of a pty closed): not one of the
// line errors above, so callers treat it as an undefined error.
constexpr int DeviceVanished = 1100;
}  // namespace CommEvents

// Error codes that property assignments return (0 = success).
namespace CommErrors {
constexpr int None = 0;
constexpr int InvalidProperty = 380;
constexpr int PortAlreadyOpen = 8005;
constexpr int PortNotOpen = 8018;
constexpr int NoSuchPort = 8002;
constexpr int DeviceUnavailable = 8010;
}  // namespace CommErrors

struct LineSettings {
    int BaudRate = 4800;
    char Parity = 'E';  // E, O, N, M or S
    int DataBits = 8;
    QString StopBits = QStringLiteral("1");  // "1", "1.5" or "2"
};

// "baud,parity,data bits,stop bits"; empty when the text is not a valid settings string.
std::optional<LineSettings> ParseLineSettings(const QString& text);

// The serial port component the link talks to. Property setters return an error code
// (CommErrors) instead of raising. Subclasses provide the device; this class keeps the
// properties, validates them and dispatches OnComm so that it never re-enters.
class SerialPort : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    int SetCommPort(int port);  // 1-16
    int CommPort() const { return m_commPort; }
    int SetSettings(const QString& settings);
    QString Settings() const;  // parity letter in lower case, e.g. "4800,e,8,1"
    LineSettings Line() const { return m_line; }
    int SetHandshaking(int handshaking);  // 0 none, 1 XON/XOFF, 2 RTS, 3 both
    int Handshaking() const { return m_handshaking; }
    int SetRTSEnable(bool enable);
    bool RTSEnable() const { return m_rtsEnable; }
    int SetSThreshold(int threshold);
    int SThreshold() const { return m_sThreshold; }
    int SetRThreshold(int threshold);
    int RThreshold() const { return m_rThreshold; }
    // Setting the value the port already has does nothing.
    int SetPortOpen(bool open);
    bool PortOpen() const { return m_open; }
    // Everything received since the last call, one character per byte.
    virtual QString Input() = 0;
    // Writes the whole text, one byte per character.
    int SetOutput(const QString& output);
    int CommEvent() const { return m_commEvent; }
    // The device that opening COM`port` would use now, for showing it to the user.
    virtual PortDevice DeviceOf(int port) const;

signals:
    // Raised for every CommEvent; never while another OnComm handler is still running.
    void OnComm();

protected:
    virtual int OpenDevice() = 0;  // returns a CommErrors code
    virtual void CloseDevice() = 0;
    virtual int WriteBytes(const QByteArray& bytes) = 0;
    // Called while open whenever a line or control property changes.
    virtual void ApplyLineSettings() {}
    virtual void ApplyControlLines() {}

    // Queues the event and dispatches it unless an OnComm handler is running; events
    // queued meanwhile are dispatched right after that handler returns.
    void RaiseCommEvent(int event);
    // The device went away: mark the port closed without touching the device again.
    void MarkClosed();

private:
    int m_commPort = 1;
    LineSettings m_line;
    int m_handshaking = 0;
    bool m_rtsEnable = false;
    int m_sThreshold = 0;
    int m_rThreshold = 0;
    bool m_open = false;
    int m_commEvent = 0;
    bool m_dispatching = false;
    std::deque<int> m_pending;
};
