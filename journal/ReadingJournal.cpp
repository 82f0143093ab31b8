#include "ReadingJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <algorithm>

#include "FileResult.h"

namespace {
const QString kJournalFolder = QStringLiteral("journal");

// A device in place of the file (/dev/zero) would never end: only a regular file is read.
QByteArray DayBytes(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}
}  // namespace

ReadingJournal::ReadingJournal(const QString& orgFolder, std::function<QDateTime()> now)
    : m_orgFolder(orgFolder), m_now(std::move(now)) {}

ReadingJournal::ReadingJournal(const QString& orgFolder, std::function<QDateTime()> now,
                               const DeviceSync& sync)
    : m_orgFolder(orgFolder), m_now(std::move(now)), m_sync(&sync) {}

QString ReadingJournal::PathOf(const QDate& date) const {
    return QDir(m_orgFolder)
        .filePath(kJournalFolder + u'/' + date.toString(QStringLiteral("yyyy-MM-dd")) +
                  QStringLiteral(".csv"));
}

QString ReadingJournal::Path() const {
    return PathOf(m_now().date());
}

bool ReadingJournal::Ok() const {
    return m_ok;
}

QString ReadingJournal::LastError() const {
    return m_lastError;
}

QList<JournalEntry> ReadingJournal::Today() const {
    return JournalFormat::Parse(DayBytes(Path()));
}

void ReadingJournal::StartDay(const QDate& date) {
    const QByteArray bytes = DayBytes(PathOf(date));
    // A crash may have cut the last line: the next event starts on a line of its own.
    m_torn = m_torn || (!bytes.isEmpty() && !bytes.endsWith('\n'));
    m_previousDay = m_day;
    m_previousFirstId = m_firstIdOfDay;
    m_day = date;
    m_nextId = std::max(m_nextId, JournalFormat::HighestId(bytes) + 1);
    m_firstIdOfDay = m_nextId;
}

QDate ReadingJournal::DayOf(int id) const {
    // Ids this journal gave out on the day before belong to that day's file; any other id
    // (this day's, or read back from this day's file) to this day's.
    const bool dayBefore =
        m_previousDay.isValid() && id >= m_previousFirstId && id < m_firstIdOfDay;
    return dayBefore ? m_previousDay : m_day;
}

int ReadingJournal::Received(int shownNumber, MeasuredQuantity kind, const QString& value) {
    const QDateTime now = m_now();
    if (now.date() != m_day) StartDay(now.date());
    const int id = m_nextId++;
    Append(m_day, JournalFormat::ReceivedLine({id, now, shownNumber, kind, value}));
    return id;
}

void ReadingJournal::SetFate(const QList<int>& ids, ReadingFate fate, int number) {
    const QDateTime now = m_now();
    if (now.date() != m_day) StartDay(now.date());
    QMap<QDate, QByteArray> linesByDay;
    for (const int id : ids)
        if (id > 0) linesByDay[DayOf(id)] += JournalFormat::FateLine(id, now, fate, number);
    for (auto day = linesByDay.cbegin(); day != linesByDay.cend(); ++day)
        Append(day.key(), day.value());
}

void ReadingJournal::Fail(const QString& path, const QString& systemText) {
    m_ok = false;
    m_lastError = FileWrite::ReasonFor(path, systemText);
    // Part of the line may have reached the file.
    m_torn = true;
}

void ReadingJournal::Append(const QDate& date, const QByteArray& lines) {
    const QString path = PathOf(date);
    const QString folder = QFileInfo(path).absolutePath();
    // Only the journal folder is made: a missing Org/ is a broken program folder.
    if (!QFileInfo(folder).isDir() && !QDir(m_orgFolder).mkdir(kJournalFolder))
        return Fail(path, QString());
    QFile file(path);
    const bool isNew = !file.exists();
    if (!isNew && !QFileInfo(path).isFile()) return Fail(path, QString());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return Fail(path, file.errorString());
    QByteArray bytes;
    if (file.size() == 0)
        bytes = JournalFormat::Header();
    else if (m_torn)
        bytes = "\r\n";
    bytes += lines;
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         Sync().SyncFile(file) && (!isNew || Sync().SyncFolder(folder));
    if (!written) return Fail(path, file.errorString());
    m_torn = false;
}
