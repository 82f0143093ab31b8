#include "QtSerialPort.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <utility>

#include "CommPoller.h"
#include "PortNames.h"

namespace {
QSerialPort::Parity ParityFor(char letter) {
    switch (letter) {
        case 'E':
            return QSerialPort::EvenParity;
        case 'O':
            return QSerialPort::OddParity;
        case 'M':
            return QSerialPort::MarkParity;
        case 'S':
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits StopBitsFor(const QString& stop) {
    if (stop == u"1.5") return QSerialPort::OneAndHalfStop;
    if (stop == u"2") return QSerialPort::TwoStop;
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl FlowFor(int handshaking) {
    switch (handshaking) {
        case 1:
            return QSerialPort::SoftwareControl;
        case 2:
        case 3:
            return QSerialPort::HardwareControl;  // Qt cannot combine both; RTS/CTS wins
        default:
            return QSerialPort::NoFlowControl;
    }
}

// The serial port library keeps a lock file per device (LCK..pts_3 in /var/lock) naming its
// process. One left by a killed copy stays in force while another process has that number
// (a quick restart, a busy machine): it is left over when the process named does not hold
// the device open. Removed then; true when there was one to remove.
bool RemoveLeftOverLock(const QString& device) {
#ifdef Q_OS_LINUX
    const QString name = QStringLiteral("LCK..") +
                         QString(device).remove(QStringLiteral("/dev/")).replace(u'/', u'_');
    for (const QString& folder : {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"),
                                  QStringLiteral("/tmp"), QDir::tempPath()}) {
        QFile lock(QDir(folder).filePath(name));
        if (!lock.open(QIODevice::ReadOnly)) continue;
        const qint64 pid = lock.readLine(32).trimmed().toLongLong();
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        // Another user's process cannot be looked into: its lock is taken to be in force.
        if (pid <= 0 || (fds.exists() && !fds.isReadable())) return false;
        for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
            if (fd.symLinkTarget() == device) return false;
        return QFile::remove(lock.fileName());
    }
#else
    Q_UNUSED(device);
#endif
    return false;
}

}  // namespace

std::optional<int> CommEventForSerialError(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError:
        case QSerialPort::TimeoutError:               // only the blocking waitFor* calls time out
        case QSerialPort::UnsupportedOperationError:  // a pty refusing parity or RTS, for example
            return std::nullopt;
        case QSerialPort::ReadError:
        case QSerialPort::ResourceError:
            return CommEvents::DeviceVanished;
        default:
            return kUndefinedCommEvent;
    }
}

QtSerialPort::QtSerialPort(const QString& appFolder, QObject* parent)
    : SerialPort(parent), m_appFolder(appFolder), m_port(new QSerialPort(this)) {
    setObjectName(QStringLiteral("mscPort"));
    // Queued: QSerialPort announces new bytes only when it is not inside its own readyRead, so
    // a handler waiting there in a nested loop (a message box) while the meter is replugged and
    // the port opened again would leave everything the new line brings unannounced.
    connect(m_port, &QSerialPort::readyRead, this, &QtSerialPort::port_readyRead,
            Qt::QueuedConnection);
    connect(m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::port_errorOccurred);
    if (CommPoller::Needed()) {
        m_poller = new CommPoller(m_port, this);
        // The poller holds the bytes it read itself: QSerialPort's own count stays 0 here.
        connect(m_poller, &CommPoller::BytesArrived, this, [this] {
            if (!m_vanished && m_port->isOpen()) RaiseCommEvent(CommEvents::Receive);
        });
        connect(m_poller, &CommPoller::DeviceFailed, this, [this] {
            if (!m_vanished) DeviceGone();
        });
    }
}

QtSerialPort::~QtSerialPort() {
    // Closing here, not in QObject's child teardown, keeps the error slot from running on a
    // half-destroyed object.
    disconnect(m_port, nullptr, this, nullptr);
    if (m_port->isOpen()) m_port->close();
}

QString QtSerialPort::Input() {
    QByteArray bytes = std::exchange(m_leftover, {});
    if (m_poller) bytes += m_poller->Take();
    if (m_port->isOpen()) bytes += m_port->readAll();
    return QString::fromLatin1(bytes);
}

PortDevice QtSerialPort::DeviceOf(int port) const {
    return ResolvePort(port, m_appFolder, m_linkedPorts.contains(port));
}

int QtSerialPort::OpenDevice() {
    const PortDevice device = DeviceOf(CommPort());
    if (device.Linked) m_linkedPorts.insert(CommPort());
    m_devicePath = device.Path;
    // Present, not a file check: on Windows "COM1" is no file name.
    if (m_devicePath.isEmpty() || !device.Present) return CommErrors::NoSuchPort;
    if (m_port->isOpen()) m_port->close();
    m_leftover.clear();
    m_vanished = false;
    ++m_openCount;

    // QSerialPort applies its stored settings while opening and fails the open when one is
    // refused; start from settings every device accepts and apply ours afterwards.
    m_configuring = true;
    m_port->setPortName(m_devicePath);
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    bool opened = m_port->open(QIODevice::ReadWrite);
    QSerialPort::SerialPortError error = m_port->error();
    if (!opened && error == QSerialPort::PermissionError && RemoveLeftOverLock(m_devicePath)) {
        m_port->clearError();
        opened = m_port->open(QIODevice::ReadWrite);
        error = m_port->error();
    }
    m_configuring = false;
    if (!opened) {
        m_port->clearError();
        switch (error) {
            case QSerialPort::DeviceNotFoundError:
                return CommErrors::NoSuchPort;
            case QSerialPort::PermissionError:
                return CommErrors::PortAlreadyOpen;
            default:
                return CommErrors::DeviceUnavailable;
        }
    }
    ApplyLineSettings();
    ApplyControlLines();
    if (m_poller) m_poller->Start();
    return CommErrors::None;
}

void QtSerialPort::CloseDevice() {
    if (m_port->isOpen()) m_port->close();
    m_leftover.clear();
}

int QtSerialPort::WriteBytes(const QByteArray& bytes) {
    if (!m_port->isOpen()) return CommErrors::PortNotOpen;
    if (m_port->write(bytes) != bytes.size()) return CommErrors::DeviceUnavailable;
    // A command frame goes out now, not whenever the event loop next runs.
    m_port->flush();
    return CommErrors::None;
}

void QtSerialPort::ApplyLineSettings() {
    if (!m_port->isOpen()) return;
    const LineSettings line = Line();
    m_configuring = true;
    m_port->setBaudRate(line.BaudRate);
    if (line.DataBits >= 5) m_port->setDataBits(static_cast<QSerialPort::DataBits>(line.DataBits));
    m_port->setParity(ParityFor(line.Parity));
    m_port->setStopBits(StopBitsFor(line.StopBits));
    m_port->clearError();
    m_configuring = false;
}

void QtSerialPort::ApplyControlLines() {
    if (!m_port->isOpen()) return;
    m_configuring = true;
    m_port->setFlowControl(FlowFor(Handshaking()));
    // Under hardware flow control the driver owns RTS; setting it is refused and harmless.
    if (m_port->flowControl() != QSerialPort::HardwareControl)
        m_port->setRequestToSend(RTSEnable());
    m_port->clearError();
    m_configuring = false;
}

void QtSerialPort::port_readyRead() {
    // Announced late: the bytes may have been taken already, or the port closed meanwhile.
    if (m_vanished || !m_port->isOpen() || m_port->bytesAvailable() == 0) return;
    RaiseCommEvent(CommEvents::Receive);
}

void QtSerialPort::port_errorOccurred(QSerialPort::SerialPortError error) {
    if (m_vanished) return;
    const std::optional<int> event = CommEventForSerialError(error);
    // A setting refused while configuring is no error; a device gone meanwhile is one (the
    // port would stay open with its reading stopped).
    if (!event || (m_configuring && !(*event == CommEvents::DeviceVanished && m_port->isOpen())))
        return;
    m_port->clearError();
    if (*event == CommEvents::DeviceVanished) {
        DeviceGone();
        return;
    }
    RaiseCommEvent(*event);
}

void QtSerialPort::DeviceGone() {
    // A gone device keeps reporting read errors; the first one ends it. Closing is queued
    // because QSerialPort is still inside its own notifier here.
    m_vanished = true;
    QMetaObject::invokeMethod(
        this,
        [this, opening = m_openCount] {
            if (opening != m_openCount) return;  // closed and opened again meanwhile
            if (m_port->isOpen()) {
                if (m_poller) m_leftover += m_poller->Take();
                m_leftover += m_port->readAll();
                m_port->close();
            }
            if (!PortOpen()) return;  // the user closed it meanwhile
            MarkClosed();
            RaiseCommEvent(CommEvents::DeviceVanished);
        },
        Qt::QueuedConnection);
}
