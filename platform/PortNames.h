#pragma once

#include <QString>

// The device that COMn stands for: on Windows "COMn"; elsewhere the target of the link
// <program folder>/ports/COMn when there is one, else /dev/ttyS(n-1).
QString DevicePathForPort(int port, const QString& appFolder);
