#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include "MeasureRecord.h"

// Writes the CSV file of a measurement set one data line at a time, so that a window can
// show progress and stop between lines and the command line can run it straight through.
//
// The lines go to a new file beside the target, which takes the target's place only at
// Commit(): a failed save never destroys an existing file of that name. Every write is
// checked; after the first failure nothing more is written and Commit() refuses.
class CsvWriter {
public:
    // The texts of the three label lines.
    struct Labels {
        QString Title;
        QString MeasureDate;
        QString Person;
    };

    CsvWriter(const QString& recordFile, const QString& target);
    ~CsvWriter();
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    // Reads the record file and writes the label lines and the headings. False when the
    // record file cannot be read or the new file cannot be made or written.
    bool Begin(const Labels& labels);
    // Measurement records in the record file (header records not counted).
    int RowCount() const { return m_rowCount; }
    int RowsWritten() const { return m_written; }
    bool AtEnd() const { return m_written >= RowCount(); }
    // Writes the line of the next measurement record. False on failure or past the end.
    bool WriteNextRow();
    // Puts the lines written so far in place of the target. False on failure; the target
    // is then as it was.
    bool Commit();
    // Why the save failed, for the command line; empty while all went well.
    QString ErrorText() const { return m_error; }
    // The same in Japanese, for the window: the system's reason, or that the measurement
    // set is missing.
    QString Reason() const { return m_reason; }

private:
    bool Put(const QByteArray& bytes);
    bool WriteFailed();
    bool Fail(const QString& why, const QString& reason);

    QString m_recordFile;
    QSaveFile m_file;
    QByteArray m_records;  // the stored bytes of the measurement records
    int m_rowCount = 0;
    int m_written = 0;
    bool m_ok = false;
    QString m_error;
    QString m_reason;
};
