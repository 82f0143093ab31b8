#pragma once

#include <QString>

class SerialPort;
class Dialogs;
class Clock;
class Beeper;
class InstanceLock;
class DeviceInventory;
class Shell;

// What the operating system provides, handed to the main window by main().
// Nothing here is owned: main() or the test keeps the objects alive.
struct Platform {
    QString AppFolder;  // the program's folder, without a trailing separator
    SerialPort* Port = nullptr;
    Dialogs* Dialog = nullptr;
    Clock* Time = nullptr;
    Beeper* Beep = nullptr;
    InstanceLock* Lock = nullptr;
    DeviceInventory* Inventory = nullptr;
    Shell* Desktop = nullptr;
};
