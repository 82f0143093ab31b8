#pragma once

#include <QString>
#include <QStringList>

#include "ClassSummary.h"

// The summary's choice of items, remembered in Org/hakaron.ini beside user.dat (which keeps
// its bytes).
namespace SummarySettings {

// <work folder>/hakaron.ini.
QString IniPath(const QString& workFolder);
// The remembered choice; without one, a guess from the item captions (性別, 年齢, 学年, 組).
SummaryChoice Load(const QString& iniPath, const QStringList& captions);
// False when the file could not be written; the choice is then only lost, nothing else.
bool Store(const QString& iniPath, const SummaryChoice& choice);

}  // namespace SummarySettings
