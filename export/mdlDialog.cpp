#include "mdlDialog.h"

#include <QFileInfo>

#include "Dialogs.h"
#include "ExportTexts.h"
#include "G_Param.h"
#include "Services.h"
#include "mdlCsvModule.h"

namespace mdlDialog {

QString ProposedFileName(const QDate& today) {
    return today.toString(QStringLiteral("yyyyMMd")) + QStringLiteral(".csv");
}

void ChooseFile(Dialogs& dialogs, const Clock& clock) {
    const QString proposed = ProposedFileName(clock.Today());
    G_Param.ChosenPath.clear();
    G_Param.ChosenFileName.clear();
    const std::optional<QString> chosen =
        dialogs.SaveFile(ExportTexts::SaveTitle, ExportTexts::CsvFilter, proposed, QString());
    if (!chosen || chosen->isEmpty()) return;
    G_Param.ChosenPath = *chosen;
    G_Param.ChosenFileName = QFileInfo(*chosen).fileName();
}

void RunOperation(Dialogs& dialogs, ProgressReport& progress) {
    bool failed = false;
    if (!QFileInfo::exists(G_Param.ChosenPath) || dialogs.AskDestructive(ExportTexts::AskOverwrite))
        failed = SaveCsv(dialogs, progress) == SaveOutcome::Failed;
    CheckSavedFile(dialogs, failed);
    // A failed save has had its message; closing the window adds no "中止します" to it.
    if (failed && G_Param.OperationStatus == 0) G_Param.OperationStatus = 2;
}

void CheckSavedFile(Dialogs& dialogs, bool saveFailed) {
    if (saveFailed || !QFileInfo::exists(G_Param.ChosenPath))
        dialogs.Message(ExportTexts::NotSaved, MsgIcon::Warning);
}

}  // namespace mdlDialog
