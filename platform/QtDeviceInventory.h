#pragma once

#include <QString>

#include "Services.h"

// The machine's serial devices. On Windows the system's COM ports. Elsewhere COM1-COM8 as
// the program names them (ports/COMn links, else /dev/ttyS(n-1)), each reported as
// "<device> (COMn)" when it leads to a serial device.
class QtDeviceInventory : public DeviceInventory {
public:
    explicit QtDeviceInventory(QString appFolder);
    QList<SerialDeviceInfo> SerialDevices() const override;

private:
    QString m_appFolder;
};
