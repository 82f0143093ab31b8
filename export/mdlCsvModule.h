#pragma once

#include <QString>

class Dialogs;

// What the save reports its progress to: the progress window, or a test's recorder.
class ProgressReport {
public:
    virtual ~ProgressReport() = default;
    // Minimum 1, maximum the number of records in the record file, header records included.
    virtual void SetProgressRangeFromRecordFile() = 0;
    // A value outside the range is ignored.
    virtual void SetProgressValue(int value) = 0;
};

enum class SaveOutcome { Saved, Cancelled, Failed };

// Writes the measurement set to G_Param.ChosenPath: the label lines from the header members
// of G_Param, the headings from the captions record, one line per measurement record. After
// each line it lets pending events run, reports progress and stops when OperationStatus has
// become 1; the lines written so far then stay. A normal end says "保存しました" and sets
// OperationStatus to 2; the bar then stands at its maximum, the last record. A failure says
// nothing here, leaves any old file as it was and puts the reason in `reason`.
SaveOutcome SaveCsv(Dialogs& dialogs, ProgressReport& progress, QString* reason = nullptr);
