#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The five user settings as they travel to and from user.dat.
struct UserSettings {
    QString CommSettings;
    int16_t PortNumber = 0;
    int16_t OperationMode = 0;
    uint8_t AutoWriteOn = 0;
    int16_t AutoWriteDelay = 0;
    bool operator==(const UserSettings&) const = default;
};

namespace SettingsFile {
// One line: the quoted text, the four numbers, CR LF.
QByteArray Format(const UserSettings& settings);
// Reads the values in order into `settings`; a value that is missing or of the wrong kind
// ends the reading and the members not read keep what they hold. Returns the count read.
int Parse(const QByteArray& bytes, UserSettings& settings);
}  // namespace SettingsFile
