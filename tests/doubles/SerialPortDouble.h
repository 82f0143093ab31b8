#pragma once

#include <QByteArray>
#include <QString>

#include "SerialPort.h"

// A serial port without a device: tests inject received chunks and events and read what
// was written. Opening fails with 8002 for the ports listed in MissingPorts.
class SerialPortDouble : public SerialPort {
    Q_OBJECT
public:
    explicit SerialPortDouble(QObject* parent = nullptr) : SerialPort(parent) {}

    QString Input() override {
        const QString chunk = QString::fromLatin1(m_received);
        m_received.clear();
        return chunk;
    }

    // Data arriving on the line: raises a receive event.
    void Receive(const QByteArray& bytes) {
        m_received += bytes;
        RaiseCommEvent(CommEvents::Receive);
    }
    void RaiseEvent(int event) { RaiseCommEvent(event); }
    // The device goes away as the real adapter reports it.
    void Vanish() {
        MarkClosed();
        RaiseCommEvent(CommEvents::DeviceVanished);
    }

    QByteArray Written;       // everything written while open
    QList<int> MissingPorts;  // ports that do not exist
    QList<int> BusyPorts;     // ports another program holds
    int OpenCount = 0;
    int CloseCount = 0;

protected:
    int OpenDevice() override {
        if (MissingPorts.contains(CommPort())) return CommErrors::NoSuchPort;
        if (BusyPorts.contains(CommPort())) return CommErrors::PortAlreadyOpen;
        ++OpenCount;
        return CommErrors::None;
    }
    void CloseDevice() override { ++CloseCount; }
    int WriteBytes(const QByteArray& bytes) override {
        Written += bytes;
        return CommErrors::None;
    }

private:
    QByteArray m_received;
};
