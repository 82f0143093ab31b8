#include "ProgramOptions.h"

#include <QSettings>

#include "G_Param.h"

namespace {
const QString kWholePerson = QStringLiteral("AutoWrite/WaitForWholePerson");
}  // namespace

namespace ProgramOptions {

QString IniPath() {
    return G_Param.WorkFolder + QStringLiteral("hakaron.ini");
}

void Read() {
    const QSettings ini(IniPath(), QSettings::IniFormat);
    G_Param.AutoWriteWholePerson = ini.value(kWholePerson, true).toBool();
}

FileResult Write() {
    QSettings ini(IniPath(), QSettings::IniFormat);
    ini.setValue(kWholePerson, G_Param.AutoWriteWholePerson);
    ini.sync();
    if (ini.status() != QSettings::NoError)
        return FileResult::Failure(IniPath(), FileWrite::ReasonFor(IniPath(), QString()));
    return FileResult::Success();
}

}  // namespace ProgramOptions
