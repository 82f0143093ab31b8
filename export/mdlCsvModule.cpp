#include "mdlCsvModule.h"

#include <QCoreApplication>

#include "CsvWriter.h"
#include "Dialogs.h"
#include "ExportTexts.h"
#include "G_Const.h"
#include "G_Param.h"

SaveOutcome SaveCsv(Dialogs& dialogs, ProgressReport& progress, QString* reason) {
    progress.SetProgressRangeFromRecordFile();
    CsvWriter writer(G_Param.RecordFilePath(), G_Param.ChosenPath);
    const auto failed = [&] {
        if (reason) *reason = writer.Reason();
        return SaveOutcome::Failed;
    };
    if (!writer.Begin({G_Param.Title, G_Param.MeasureDate, G_Param.Person})) return failed();
    bool cancelled = false;
    while (!writer.AtEnd() && !cancelled) {
        if (!writer.WriteNextRow()) return failed();
        QCoreApplication::processEvents();
        // The bar counts records, header records included: line k is record k + 2, so the
        // last line fills it.
        progress.SetProgressValue(writer.RowsWritten() + G_Const::HeaderRecords);
        cancelled = G_Param.OperationStatus == 1;
    }
    if (!writer.Commit()) return failed();
    if (cancelled) return SaveOutcome::Cancelled;
    dialogs.Message(ExportTexts::Saved, MsgIcon::Information);
    G_Param.OperationStatus = 2;
    return SaveOutcome::Saved;
}
