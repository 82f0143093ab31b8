#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

#include "Services.h"

// Which of the ports COM1-COM8 the machine has, worked out from its serial devices.
namespace PortMarks {

constexpr int PortCount = 8;

struct PortMark {
    bool Present = false;
    QString Path;  // the device that marked the port, when the inventory told it
};

using PortMarkList = std::array<PortMark, PortCount>;

// The port number a device's display name stands for: the two characters after its last
// "COM" as a number, else their first character when it is a digit, else 0.
int PortNumberInName(const QString& name);

// Marks port n present for every device whose name stands for n (1-8); devices whose ID
// starts with "PCI" are passed over.
PortMarkList MarkPorts(const QList<SerialDeviceInfo>& devices);

// "Com" & k & " 有効" for a present port, "Com" & k & " --" otherwise.
QString PortEntryText(int port, bool present);
QStringList PortEntryTexts(const PortMarkList& marks);

}  // namespace PortMarks
