#include "mdlDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "Dialogs.h"
#include "ExportTexts.h"
#include "FileResult.h"
#include "G_Const.h"
#include "G_Param.h"
#include "QtDialogs.h"
#include "SaveTarget.h"
#include "Services.h"
#include "mdlCsvModule.h"

namespace {

const QString kFolderKey = QStringLiteral("CsvSave/LastFolder");

QSettings ProgramSettings() {
    return QSettings(G_Param.WorkFolder + QStringLiteral("hakaron.ini"), QSettings::IniFormat);
}

}  // namespace

namespace mdlDialog {

QString ProposedFileName(const QDate& today) {
    return today.toString(QStringLiteral("yyyyMMd")) + QStringLiteral(".csv");
}

QString WithCsvSuffix(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (name.isEmpty() || (dot > 0 && dot < name.size() - 1)) return path;
    return (name.endsWith(u'.') ? path.chopped(1) : path) + QStringLiteral(".csv");
}

QString DialogFolder(const QString& remembered, const QString& documents) {
    return !remembered.isEmpty() && QFileInfo(remembered).isDir() ? remembered : documents;
}

QString DialogRefusal(const QString& path) {
    return IsRefusedSaveTarget(path) ? FileWrite::ReasonFor(path, QString()) : QString();
}

void ChooseFile(Dialogs& dialogs, const Clock& clock) {
    QString proposed = ProposedFileName(clock.Today());
    G_Param.ChosenPath.clear();
    G_Param.ChosenFileName.clear();
    QString folder =
        DialogFolder(ProgramSettings().value(kFolderKey).toString(),
                     QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    for (;;) {
        const std::optional<QString> chosen =
            dialogs.SaveFile(ExportTexts::SaveTitle, ExportTexts::CsvFilter, proposed, folder);
        if (!chosen || chosen->isEmpty()) return;
        const QString path = WithCsvSuffix(*chosen);
        const QString refusal = DialogRefusal(path);
        if (refusal.isEmpty()) {
            G_Param.ChosenPath = path;
            G_Param.ChosenFileName = QFileInfo(path).fileName();
            return;
        }
        dialogs.Message(ExportTexts::CantSaveHere + QStringLiteral("\r\n") + refusal,
                        MsgIcon::Warning);
        folder = QFileInfo(path).absolutePath();
        proposed = QFileInfo(path).fileName();
    }
}

void RunOperation(Dialogs& dialogs, ProgressReport& progress) {
    QString reason;
    // The program's own files are never replaced by a CSV, whatever the answer would be.
    if (const SaveTarget::Problem problem = SaveTarget::Check(G_Param.ChosenPath);
        problem != SaveTarget::Problem::None)
        reason = SaveTarget::Reason(problem);
    else if (!QFileInfo::exists(G_Param.ChosenPath) ||
             dialogs.AskDestructive(ExportTexts::AskOverwrite))
        SaveCsv(dialogs, progress, &reason);
    CheckSavedFile(dialogs, reason);
    // A failed save has had its message; closing the window adds no "中止します" to it.
    if (!reason.isEmpty() && G_Param.OperationStatus == 0) G_Param.OperationStatus = 2;
    if (G_Param.OperationStatus == 2 && reason.isEmpty())
        ProgramSettings().setValue(kFolderKey, QFileInfo(G_Param.ChosenPath).absolutePath());
}

void CheckSavedFile(Dialogs& dialogs, const QString& reason) {
    if (!reason.isEmpty())
        dialogs.Message(ExportTexts::NotSaved + QStringLiteral("\r\n") + reason, MsgIcon::Warning);
    else if (!QFileInfo::exists(G_Param.ChosenPath))
        dialogs.Message(ExportTexts::NotSaved, MsgIcon::Warning);
}

}  // namespace mdlDialog
