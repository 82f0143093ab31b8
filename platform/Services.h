#pragma once

#include <QDate>
#include <QList>
#include <QString>

// Today's date; tests set it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate Today() const = 0;
};

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void Beep() = 0;
};

// Whether this is the only running copy of the program.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // True when no other copy holds the lock; the lock is then held until the process ends.
    virtual bool TryAcquire() = 0;
    // False when the lock taken cannot see a second copy (nothing could be locked): the user
    // is told once.
    virtual bool DetectsSecondCopy() const { return true; }
};

struct SerialDeviceInfo {
    QString DeviceId;  // e.g. "ACPI\PNP0501\1" or "USB\VID_..."; "PCI..." for PCI cards
    QString Name;      // display name, e.g. "Communications Port (COM1)"
    QString Path;      // the device it stands for, shown to the user as a hint
};

// The machine's serial devices.
class DeviceInventory {
public:
    virtual ~DeviceInventory() = default;
    virtual QList<SerialDeviceInfo> SerialDevices() const = 0;
};

// The desktop shell's "open" of a web or mailto: address (the help is shown in the program).
class Shell {
public:
    virtual ~Shell() = default;
    virtual void Open(const QString& target) = 0;
};
