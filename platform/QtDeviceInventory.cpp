#include "QtDeviceInventory.h"

#include <QSerialPortInfo>
#include <utility>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/types.h>
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

#include <QFile>
#include <QFileInfo>

#include "PortNames.h"
#endif

QtDeviceInventory::QtDeviceInventory(QString appFolder) : m_appFolder(std::move(appFolder)) {}

#ifdef Q_OS_WIN

QList<SerialDeviceInfo> QtDeviceInventory::SerialDevices() const {
    QList<SerialDeviceInfo> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString id = info.systemLocation();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            id = QStringLiteral("USB\\VID_%1&PID_%2\\%3")
                     .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                     .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
                     .arg(info.serialNumber())
                     .toUpper();
        }
        devices.append({id, QStringLiteral("%1 (%2)").arg(info.description(), info.portName()),
                        info.portName()});
    }
    return devices;
}

#else

namespace {

constexpr int kPortCount = 8;

// A terminal device: the tty class of sysfs, or a pseudo-terminal (majors 136-143) that
// sysfs does not list. Without sysfs any character device counts.
bool IsTerminalDevice(const struct stat& info) {
    if (!S_ISCHR(info.st_mode)) return false;
    const unsigned major = ::major(info.st_rdev);
    if (major >= 136 && major <= 143) return true;
    if (!QFileInfo::exists(QStringLiteral("/sys/dev/char"))) return true;
    const QString subsystem =
        QFileInfo(
            QStringLiteral("/sys/dev/char/%1:%2/subsystem").arg(major).arg(::minor(info.st_rdev)))
            .canonicalFilePath();
    return subsystem.endsWith(QStringLiteral("/tty"));
}

// Legacy ports (/dev/ttySn) exist as device files whether or not there is a UART behind
// them; only the ones with a device behind are real. Read from sysfs: the serial port
// library opens every built-in port to ask, and the first is often the machine's console.
bool IsListedPort(const QString& path) {
    const QString tty = QStringLiteral("/sys/class/tty/") + QFileInfo(path).fileName();
    if (!QFileInfo::exists(QStringLiteral("/sys/class/tty"))) {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            if (info.systemLocation() == path) return true;
        return false;
    }
    if (!QFileInfo::exists(tty + QStringLiteral("/device"))) return false;
    QFile type(tty + QStringLiteral("/type"));
    // Only the built-in UART driver has a type; 0 is "no UART found".
    return !type.open(QIODevice::ReadOnly) || type.readAll().trimmed() != "0";
}

}  // namespace

QList<SerialDeviceInfo> QtDeviceInventory::SerialDevices() const {
    QList<SerialDeviceInfo> devices;
    for (int port = 1; port <= kPortCount; ++port) {
        const QString path = DevicePathForPort(port, m_appFolder);
        const QString link = m_appFolder + QStringLiteral("/ports/COM%1").arg(port);
        const bool named = QFileInfo(link).isSymLink() || QFileInfo::exists(link);
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0) continue;
        if (!IsTerminalDevice(info)) continue;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        const QString device = canonical.isEmpty() ? path : canonical;
        if (!named && !IsListedPort(device)) continue;
        devices.append({device, QStringLiteral("%1 (COM%2)").arg(device).arg(port), device});
    }
    return devices;
}

#endif
