#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QSerialPort;

// Reads a serial port by polling where the system never says that bytes came: Wine's
// WaitCommEvent never completes, so Qt's Windows backend neither reads nor signals there.
// While the port is open it asks the driver every 10 ms how many bytes wait and reads them
// itself. A real Windows, and every other system, reads through Qt as before (Needed()).
class CommPoller : public QObject {
    Q_OBJECT
public:
    // Whether this process needs polling: under Wine only, seen at run time.
    static bool Needed();

    CommPoller(QSerialPort* port, QObject* parent);

    // Polls from now until the port closes.
    void Start();
    // The bytes read since the last call.
    QByteArray Take();

signals:
    void BytesArrived();
    // The driver no longer answers for the device (unplugged adapter, closed pty).
    void DeviceFailed();

private:
    void Poll();

    QSerialPort* m_port;  // not owned
    QTimer m_timer;
    QByteArray m_bytes;
};
