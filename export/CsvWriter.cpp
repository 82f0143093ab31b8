#include "CsvWriter.h"

#include <QFile>

#include "CsvLines.h"
#include "FileResult.h"
#include "G_Const.h"
#include "RecordFile.h"

CsvWriter::CsvWriter(const QString& recordFile, const QString& target)
    : m_recordFile(recordFile), m_file(target) {}

CsvWriter::~CsvWriter() {
    if (m_file.isOpen()) m_file.cancelWriting();
}

bool CsvWriter::Begin(const Labels& labels) {
    QFile records(m_recordFile);
    if (!records.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read the record file %1: %2")
                        .arg(m_recordFile, records.errorString()));
    records.close();
    QList<MeasureRecord> all = RecordFile::ReadAll(m_recordFile);
    if (all.size() >= G_Const::HeaderRecords) m_captions = all[G_Const::HeaderRecords - 1];
    if (all.size() > G_Const::HeaderRecords) m_rows = all.mid(G_Const::HeaderRecords);

    if (!m_file.open(QIODevice::WriteOnly))
        return Fail(
            QStringLiteral("cannot create %1: %2").arg(m_file.fileName(), m_file.errorString()));
    m_ok = true;
    return Put(CsvLines::LabelLines(labels.Title, labels.MeasureDate, labels.Person) +
               CsvLines::HeadingLine(m_captions));
}

bool CsvWriter::WriteNextRow() {
    if (!m_ok || AtEnd()) return false;
    const int number = m_written + 1;
    if (!Put(CsvLines::DataLine(number, m_rows[m_written]))) return false;
    m_written = number;
    return true;
}

bool CsvWriter::Commit() {
    if (!m_ok) return false;
    // A full disk may only show at the flush; commit() alone has been seen to hide it.
    if (!m_file.flush()) return Fail(WriteError());
    m_ok = false;
    if (!FileWrite::CommitDurably(m_file)) {
        m_error = WriteError();
        return false;
    }
    return true;
}

bool CsvWriter::Put(const QByteArray& bytes) {
    if (!m_ok) return false;
    if (m_file.write(bytes) != bytes.size()) return Fail(WriteError());
    return true;
}

QString CsvWriter::WriteError() const {
    // A full disk leaves Qt with no text of its own for the failure.
    const QString why = m_file.errorString() == QStringLiteral("Unknown error")
                            ? QStringLiteral("write failed (is the disk full?)")
                            : m_file.errorString();
    return QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), why);
}

bool CsvWriter::Fail(const QString& why) {
    if (m_error.isEmpty()) m_error = why;
    m_ok = false;
    if (m_file.isOpen()) m_file.cancelWriting();
    return false;
}
