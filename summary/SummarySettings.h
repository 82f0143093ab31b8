#pragma once

#include <QString>
#include <QStringList>

#include "ClassSummary.h"

// The summary's choice of items, remembered in Org/hakaron.ini beside user.dat (which keeps
// its bytes).
namespace SummarySettings {

// <work folder>/hakaron.ini.
QString IniPath(const QString& workFolder);
// A guess from the item captions: 性別/男女 the sex, 年齢 the age, 学年/組/クラス the grade and
// the group (one item "3年2組" may hold both), never an item that holds a name.
SummaryChoice Guess(const QStringList& captions);
// The remembered choice; without one, a guess from the item captions (性別, 年齢, 学年, 組).
SummaryChoice Load(const QString& iniPath, const QStringList& captions);
// False when the file could not be written; the choice is then only lost, nothing else.
bool Store(const QString& iniPath, const SummaryChoice& choice);

// What the report prints besides the set: the school name and one section per group.
struct ReportSettings {
    QString SchoolName;
    bool PagePerGroup = false;
};
ReportSettings LoadReport(const QString& iniPath);
bool StoreReport(const QString& iniPath, const ReportSettings& settings);

}  // namespace SummarySettings
