#pragma once

#include <QByteArray>
#include <QSerialPort>
#include <QSet>
#include <QString>
#include <optional>

#include "SerialPort.h"

class CommPoller;

// The CommEvent raised for a Qt error that has no line-error counterpart; the link shows it
// as an undefined error.
constexpr int kUndefinedCommEvent = 1099;

// What a QSerialPort error means for the component: nothing (empty optional), a CommEvent to
// raise, or a vanished device (CommEvents::DeviceVanished).
std::optional<int> CommEventForSerialError(QSerialPort::SerialPortError error);

// The real serial port component over QSerialPort. COMn is resolved through the program
// folder's ports/ links (ResolvePort) at every opening, so a pty or a USB adapter can stand
// for it, and a replugged adapter or a restarted virtual meter is found behind its link
// again. Once a link has named COMn, COMn is that link's device or nothing.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const QString& appFolder, QObject* parent = nullptr);
    ~QtSerialPort() override;

    QString Input() override;
    // The device the port was last opened on (empty before the first open).
    QString DevicePath() const { return m_devicePath; }
    PortDevice DeviceOf(int port) const override;

protected:
    int OpenDevice() override;
    void CloseDevice() override;
    int WriteBytes(const QByteArray& bytes) override;
    void ApplyLineSettings() override;
    void ApplyControlLines() override;

private slots:
    void port_readyRead();
    void port_errorOccurred(QSerialPort::SerialPortError error);

private:
    void DeviceGone();

    QString m_appFolder;
    QString m_devicePath;
    QSerialPort* m_port = nullptr;   // child
    CommPoller* m_poller = nullptr;  // child, where the system never signals bytes (Wine)
    QByteArray m_leftover;           // read before a vanished device was closed
    bool m_configuring = false;      // refusals while applying settings are not errors
    bool m_vanished = false;         // the device is gone; later errors of it are echoes
    quint64 m_openCount = 0;         // tells a queued close which opening it belongs to
    QSet<int> m_linkedPorts;         // ports a ports/COMn link has named in this run
};
