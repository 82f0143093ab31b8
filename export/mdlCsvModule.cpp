#include "mdlCsvModule.h"

#include <QCoreApplication>

#include "CsvWriter.h"
#include "Dialogs.h"
#include "ExportTexts.h"
#include "G_Param.h"

SaveOutcome SaveCsv(Dialogs& dialogs, ProgressReport& progress) {
    progress.SetProgressRangeFromRecordFile();
    CsvWriter writer(G_Param.RecordFilePath(), G_Param.ChosenPath);
    if (!writer.Begin({G_Param.Title, G_Param.MeasureDate, G_Param.Person}))
        return SaveOutcome::Failed;
    bool cancelled = false;
    while (!writer.AtEnd() && !cancelled) {
        if (!writer.WriteNextRow()) return SaveOutcome::Failed;
        QCoreApplication::processEvents();
        progress.SetProgressValue(writer.RowsWritten() + 1);
        cancelled = G_Param.OperationStatus == 1;
    }
    if (!writer.Commit()) return SaveOutcome::Failed;
    if (cancelled) return SaveOutcome::Cancelled;
    dialogs.Message(ExportTexts::Saved, MsgIcon::Information);
    G_Param.OperationStatus = 2;
    return SaveOutcome::Saved;
}
