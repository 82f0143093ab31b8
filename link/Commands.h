#pragma once

#include <QByteArray>
#include <QString>
#include <span>

// One request the user can send to the meter: its item in the "コマンド(&C)" menu
// (mnuDataSwitch), its button in the "データ要求" frame (cmdCommandSwitch) when it has one,
// and the code sent.
struct MeterCommand {
    int Index;
    QString MenuCaption;
    QString ButtonCaption;  // empty: menu only
    QString Shortcut;       // "Ctrl+Q", empty: none
    QString Code;
};

// The nine requests; index = menu item index = button index.
std::span<const MeterCommand> CommandTable();

// STX, the code, ETX: the frame of a request as it goes on the wire.
QByteArray CommandFrame(const QString& code);
