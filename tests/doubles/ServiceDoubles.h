#pragma once

#include "Services.h"

class ClockDouble : public Clock {
public:
    QDate Today() const override { return Date; }
    QDate Date{2026, 12, 7};
};

class BeeperDouble : public Beeper {
public:
    void Beep() override { ++Count; }
    int Count = 0;
};

class InstanceLockDouble : public InstanceLock {
public:
    bool TryAcquire() override { return Free; }
    bool DetectsSecondCopy() const override { return Detects; }
    bool Free = true;
    bool Detects = true;
};

class DeviceInventoryDouble : public DeviceInventory {
public:
    QList<SerialDeviceInfo> SerialDevices() const override { return Devices; }
    QList<SerialDeviceInfo> Devices;
};

class ShellDouble : public Shell {
public:
    void Open(const QString& target) override { Opened << target; }
    QStringList Opened;
};
