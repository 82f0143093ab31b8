#pragma once

#include <QString>

// What COMn stands for.
struct PortDevice {
    QString Path;          // the device; empty when a link that named it has gone
    bool Linked = false;   // named by <program folder>/ports/COMn (now or earlier in this run)
    bool Present = false;  // the device is there
};

// The device that COMn stands for: on Windows "COMn"; elsewhere the target of the link
// <program folder>/ports/COMn when there is one, else /dev/ttyS(n-1). `hadLink` says that a
// link named COMn earlier in this run: a link that is gone then means that its device went
// with it (a virtual meter ended, an adapter's name was removed), never that COMn is the
// built-in port, so the result has no path.
PortDevice ResolvePort(int port, const QString& appFolder, bool hadLink = false);

// ResolvePort's path for a folder's link as it stands now.
QString DevicePathForPort(int port, const QString& appFolder);
