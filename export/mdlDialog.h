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
// The chosen path with ".csv" added when its file name has no extension; a spreadsheet
// opens only what is named so. A name that has one is kept as typed.
QString WithCsvSuffix(const QString& path);
// The folder the dialog opens in: the remembered one while it exists, else `documents`.
QString DialogFolder(const QString& remembered, const QString& documents);
// Why the dialog does not take `path` (a read-only file, a folder that cannot be written,
// a folder in its place), or an empty text when it does.
QString DialogRefusal(const QString& path);

// Asks for the target file, opening in the folder of the last CSV saved, adding ".csv"
// and saying why a refused target cannot be taken before asking again. Sets
// G_Param.ChosenPath and ChosenFileName, both empty when the dialog was cancelled.
void ChooseFile(Dialogs& dialogs, const Clock& clock);
// Asks before replacing an existing file, saves, then checks the result.
void RunOperation(Dialogs& dialogs, ProgressReport& progress);
// Says the file was not saved, with `reason` as a third line, when the save failed (a
// reason is given) or no file is at ChosenPath.
void CheckSavedFile(Dialogs& dialogs, const QString& reason);

}  // namespace mdlDialog
