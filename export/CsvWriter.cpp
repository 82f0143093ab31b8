#include "CsvWriter.h"

#include <QFile>
#include <QFileInfo>

#include "CsvLines.h"
#include "ExportTexts.h"
#include "FileResult.h"
#include "G_Const.h"

CsvWriter::CsvWriter(const QString& recordFile, const QString& target)
    : m_recordFile(recordFile), m_file(target) {}

CsvWriter::~CsvWriter() {
    if (m_file.isOpen()) m_file.cancelWriting();
}

bool CsvWriter::Begin(const Labels& labels) {
    // Only a regular file holds records: a device or a pipe there is never read.
    QFile records(m_recordFile);
    if (!QFileInfo(m_recordFile).isFile())
        return Fail(QStringLiteral("no measurement set: %1 does not exist").arg(m_recordFile),
                    ExportTexts::NoMeasurementSet);
    if (!records.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read the record file %1: %2")
                        .arg(m_recordFile, records.errorString()),
                    ExportTexts::NoMeasurementSet);
    const QByteArray all = records.readAll();
    if (records.error() != QFileDevice::NoError)
        return Fail(QStringLiteral("cannot read the record file %1: %2")
                        .arg(m_recordFile, records.errorString()),
                    ExportTexts::NoMeasurementSet);
    records.close();
    constexpr int kLength = G_Const::RecordLength;
    const qsizetype whole = all.size() / kLength;
    MeasureRecord captions;
    if (whole >= G_Const::HeaderRecords)
        captions = MeasureRecord::Decode(all.mid((G_Const::HeaderRecords - 1) * kLength, kLength));
    if (whole > G_Const::HeaderRecords) {
        m_rowCount = int(whole - G_Const::HeaderRecords);
        m_records = all.mid(G_Const::HeaderRecords * kLength, qsizetype(m_rowCount) * kLength);
    }

    if (!m_file.open(QIODevice::WriteOnly)) return WriteFailed();
    m_ok = true;
    return Put(CsvLines::LabelLines(labels.Title, labels.MeasureDate, labels.Person) +
               CsvLines::HeadingLine(captions));
}

bool CsvWriter::WriteNextRow() {
    if (!m_ok || AtEnd()) return false;
    constexpr int kLength = G_Const::RecordLength;
    const QByteArrayView record =
        QByteArrayView(m_records).sliced(qsizetype(m_written) * kLength, kLength);
    const int number = m_written + 1;
    if (!Put(CsvLines::DataLineFromRecord(number, record))) return false;
    m_written = number;
    return true;
}

bool CsvWriter::Commit() {
    if (!m_ok) return false;
    // A full disk may only show at the flush; commit() alone has been seen to hide it.
    if (!m_file.flush()) return WriteFailed();
    m_ok = false;
    if (!FileWrite::CommitDurably(m_file)) {
        WriteFailed();
        return false;
    }
    return true;
}

bool CsvWriter::Put(const QByteArray& bytes) {
    if (!m_ok) return false;
    if (m_file.write(bytes) != bytes.size()) return WriteFailed();
    return true;
}

bool CsvWriter::WriteFailed() {
    // A full disk leaves Qt with no text of its own for the failure.
    const QString system =
        m_file.errorString() == QStringLiteral("Unknown error") ? QString() : m_file.errorString();
    const QString why =
        system.isEmpty() ? QStringLiteral("write failed (is the disk full?)") : system;
    return Fail(QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), why),
                FileWrite::ReasonFor(m_file.fileName(), system));
}

bool CsvWriter::Fail(const QString& why, const QString& reason) {
    if (m_error.isEmpty()) {
        m_error = why;
        m_reason = reason;
    }
    m_ok = false;
    if (m_file.isOpen()) m_file.cancelWriting();
    return false;
}
