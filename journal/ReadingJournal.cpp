#include "ReadingJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include "FileResult.h"

namespace {
const QString kJournalFolder = QStringLiteral("journal");
}  // namespace

ReadingJournal::ReadingJournal(const QString& orgFolder, std::function<QDateTime()> now)
    : ReadingJournal(orgFolder, std::move(now), m_systemSync) {}

ReadingJournal::ReadingJournal(const QString& orgFolder, std::function<QDateTime()> now,
                               const DeviceSync& sync)
    : m_orgFolder(orgFolder), m_now(std::move(now)), m_sync(sync) {}

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
    QFile file(Path());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return JournalFormat::Parse(file.readAll());
}

void ReadingJournal::StartDay(const QDate& date) {
    QFile file(PathOf(date));
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    // A crash may have cut the last line: the next event starts on a line of its own.
    m_torn = m_torn || (!bytes.isEmpty() && !bytes.endsWith('\n'));
    m_previousDay = m_day;
    m_day = date;
    m_nextId = std::max(m_nextId, JournalFormat::HighestId(bytes) + 1);
    m_firstIdOfDay = m_nextId;
}

QDate ReadingJournal::DayOf(int id) const {
    return id >= m_firstIdOfDay || !m_previousDay.isValid() ? m_day : m_previousDay;
}

int ReadingJournal::Received(int shownNumber, MeasuredQuantity kind, const QString& value) {
    const QDateTime now = m_now();
    if (now.date() != m_day) StartDay(now.date());
    const int id = m_nextId++;
    Append(m_day, JournalFormat::ReceivedLine({id, now, shownNumber, kind, value}));
    return id;
}

void ReadingJournal::SetFate(const QList<int>& ids, ReadingFate fate, int number) {
    if (!m_day.isValid()) return;  // no reading of this journal yet
    const QDateTime now = m_now();
    QMap<QDate, QByteArray> linesByDay;
    for (const int id : ids)
        if (id > 0 && id < m_nextId)
            linesByDay[DayOf(id)] += JournalFormat::FateLine(id, now, fate, number);
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
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Append))
        return Fail(path, file.errorString());
    QByteArray bytes;
    if (file.size() == 0)
        bytes = JournalFormat::Header();
    else if (m_torn)
        bytes = "\r\n";
    bytes += lines;
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         m_sync.SyncFile(file) && (!isNew || m_sync.SyncFolder(folder));
    if (!written) return Fail(path, file.errorString());
    m_torn = false;
}
