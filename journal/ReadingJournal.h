#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

#include "DeviceSync.h"
#include "LiveDisplay.h"

// What became of a reading the meter sent.
enum class ReadingFate {
    Pending,             // received, not yet written (also: what a kill -9 leaves)
    WrittenAuto,         // written to No. n by automatic writing
    WrittenByInput,      // written to No. n by 入力 / Ctrl+S / はい of the unsaved question
    WrittenFromJournal,  // written to No. n from the 受信履歴 window
    Replaced,            // a newer reading of the same kind replaced it before it was written
    Discarded,           // いいえ of the unsaved question dropped it
    Cleared,             // 消去 (clear) dropped it
    PendingAtExit,       // still pending when the program ended normally
    WriteFailed,         // the write was tried and failed (it stays on display, pending)
};

// One reading as read back: its last known fate.
struct JournalEntry {
    int Id = 0;      // unique within the day's file
    QDateTime Time;  // when it arrived
    int Number = 0;  // the number shown when it arrived
    MeasuredQuantity Kind = MeasuredQuantity::Height;
    QString Value;  // as the meter sent it, e.g. "137.0"
    ReadingFate Fate = ReadingFate::Pending;
    int WrittenTo = 0;          // No. n for the Written* fates, else 0
    bool NeverWritten() const;  // no Written* fate
};

// The journal file: UTF-8, one event a line, CR LF, fields separated by commas:
//   ID,時刻,表示No,種類,値,出来事,書込先
//   1,2026-12-08 10:42:05,12,身長,137.0,受信,
//   1,2026-12-08 10:42:09,,,,自動書込,12
// A reading is its 受信 line; every later line with its id records a new fate, the last one
// counting. A value holding a comma or a quote is quoted as in CSV; its line breaks become
// spaces, so that every event is one line.
namespace JournalFormat {                            // pure: no files
QByteArray Header();                                 // the header line, CR LF
QByteArray ReceivedLine(const JournalEntry& entry);  // a new reading
QByteArray FateLine(int id, const QDateTime& time, ReadingFate fate, int number);
// Every reading in the file with its last fate; a torn last line (crash mid-write) and
// lines that do not parse are skipped, never a crash. A fate line for an id without a
// reading before it counts for nothing.
QList<JournalEntry> Parse(const QByteArray& bytes);
// The largest id any line starts with (torn and unreadable lines too), 0 when none: a new
// reading takes the next one, so that no id in a file stands for two readings.
int HighestId(const QByteArray& bytes);
// Readings grouped by person: a new person starts at a height or sitting height that
// follows a weight, or when the shown number changes.
QList<QList<JournalEntry>> ByPerson(const QList<JournalEntry>& entries);
QString FateText(ReadingFate fate, int number);  // e.g. "No.12 に自動書込", "置換", ...
QString KindText(MeasuredQuantity kind);         // 身長 / 座高 / 体重
}  // namespace JournalFormat

// The day's journal file Org/journal/YYYY-MM-DD.csv (folder made when missing), appended
// and synced (fdatasync through DeviceSync) on every event; ids continue after those already
// in today's file. A failing journal write never stops measuring: Ok() turns false and
// LastError() says why (the main window tells it once).
class ReadingJournal {
public:
    // orgFolder: the program's Org/ folder. `now` gives the time (tests set it).
    explicit ReadingJournal(const QString& orgFolder,
                            std::function<QDateTime()> now = &QDateTime::currentDateTime);
    // As above, syncing through `sync` (tests count and fail it); it must outlive the journal.
    ReadingJournal(const QString& orgFolder, std::function<QDateTime()> now,
                   const DeviceSync& sync);

    int Received(int shownNumber, MeasuredQuantity kind, const QString& value);  // returns id
    // Records `fate` (and the record number for the Written* fates) for readings of today's
    // file; a reading this journal received the day before gets it in that day's file.
    void SetFate(const QList<int>& ids, ReadingFate fate, int number = 0);
    QList<JournalEntry> Today() const;  // today's file read back (Parse)
    QString Path() const;               // today's file
    // False once an event could not be written to the file (it stays false: the file misses
    // that event).
    bool Ok() const;
    // Why the last failed event could not be written, in Japanese, with the system's words.
    QString LastError() const;

    // The file of the day `date`.
    QString PathOf(const QDate& date) const;

private:
    void StartDay(const QDate& date);
    QDate DayOf(int id) const;
    void Append(const QDate& date, const QByteArray& lines);
    void Fail(const QString& path, const QString& systemText);

    QString m_orgFolder;
    std::function<QDateTime()> m_now;
    const DeviceSync& Sync() const { return m_sync ? *m_sync : m_systemSync; }

    SystemDeviceSync m_systemSync;
    const DeviceSync* m_sync = nullptr;  // the system's when none was given
    QDate m_day;                         // the day of the readings numbered from m_firstIdOfDay on
    QDate m_previousDay;  // the day of the ids m_previousFirstId to m_firstIdOfDay - 1
    int m_previousFirstId = 1;
    int m_firstIdOfDay = 1;
    int m_nextId = 1;
    bool m_torn = false;  // the file may end inside a line: end it before the next event
    bool m_ok = true;
    QString m_lastError;
};

// What the 受信履歴 window needs from the main window.
class JournalWriter {
public:
    virtual ~JournalWriter() = default;
    // Writes `reading` into record No. `number` (asking first when that record already holds
    // a measured value, naming the pupil; default いいえ). True when written; the caller then
    // records WrittenFromJournal.
    virtual bool WriteReadingTo(int number, const JournalEntry& reading) = 0;
};
