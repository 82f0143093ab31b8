#pragma once

#include <QString>
#include <QStringList>

// The line settings as the communication settings dialog shows and builds them.
namespace CommSettingsText {

const QStringList& BaudRateEntries();  // "600" … "9600"
const QStringList& DataBitEntries();   // "8", "7"
const QStringList& ParityEntries();    // "Even", "Odd", "None"

// What the dialog preselects from the port's settings string; an empty member selects
// nothing.
struct Selection {
    QString BaudRate;  // the text before the first comma
    QString Parity;    // "Even", "Odd" or "None" from the lower-case letter the port reports
    QString DataBits;  // the first character of the third field
};
Selection FromPortSettings(const QString& settings);

// baud "," first letter of the parity "," data bits ",1", e.g. "4800,E,8,1".
QString Build(const QString& baudRate, const QString& parity, const QString& dataBits);

}  // namespace CommSettingsText
