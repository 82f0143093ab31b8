#pragma once

#include <QDate>
#include <QString>

class Clock;
class Dialogs;
class ProgressReport;

// The file dialog of the CSV save and the run around the save.
namespace mdlDialog {

// The proposed file name: year, two-digit month, day without a leading zero, ".csv".
QString ProposedFileName(const QDate& today);
// Asks for the target file. Sets G_Param.ChosenPath and ChosenFileName, both empty when the
// dialog was cancelled.
void ChooseFile(Dialogs& dialogs, const Clock& clock);
// Asks before replacing an existing file, saves, then checks the result.
void RunOperation(Dialogs& dialogs, ProgressReport& progress);
// Says the file was not saved when the save failed or no file is at ChosenPath.
void CheckSavedFile(Dialogs& dialogs, bool saveFailed);

}  // namespace mdlDialog
