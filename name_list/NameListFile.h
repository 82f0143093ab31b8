#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "G_Const.h"
#include "MeasureRecord.h"

// The three item texts of one person in a name list; the entry's number is its position.
struct NameListEntry {
    std::array<QString, 3> Items;
    bool operator==(const NameListEntry&) const = default;
};

// The .nml name-list file: one line per entry, `"item1","item2","item3"` CR LF, CP932.
namespace NameListFile {

// The lines of the entries in order. Quotes are never escaped in this format, so a straight
// double quote in an item is written as the full-width "＂", and a line break as a space.
QByteArray Format(const QList<NameListEntry>& entries);

// Reads the items as one stream separated by commas or line ends, grouped by three whatever
// the lines: leading blanks skipped; a quoted item runs to the next quote (commas kept),
// and what follows it up to the separator is dropped; an unquoted item runs to a comma or
// line end, trailing blanks dropped. A quote inside a quoted item therefore ends it early.
// A quoted item without its closing quote ends at its line end; empty lines hold no items;
// when the count is not a multiple of three, the last entry's missing items are empty.
// Bytes that start with the UTF-8 byte-order mark are read as UTF-8 (a list saved so by an
// editor), all others as CP932. Control characters become spaces. Any bytes are accepted;
// entries beyond MaxEntries + 1 are only counted: `count`, when given, gets them all.
QList<NameListEntry> Parse(const QByteArray& bytes, qsizetype* count = nullptr);
// The longest list: one entry per record of a measurement set.
constexpr int MaxEntries = G_Const::MaxNumber;
// "名簿が1500名を超えています（n名）".
QString TooManyEntries(qsizetype count);

// The input rule for an item: the characters the format cannot hold replaced as in Format().
QString StorableItem(const QString& text);

// The measurement set a list becomes: two blank header records, then one record per
// entry with the items as sub-labels (cut to the field) and blank values. Every entry.
QList<MeasureRecord> MeasurementSet(const QList<NameListEntry>& entries);

// Why a typed list name cannot be a file name in the folder, or an empty text when it can.
// The name is the base name without ".nml", already trimmed. A name starting with a dot
// would be a hidden file that the chooser never shows.
QString FileNameProblem(const QString& baseName);
// The base name of a typed list name: trimmed, and without a typed ".nml".
QString BaseName(const QString& typed);

// The largest list read: far above 1500 entries of long names, far below what would
// freeze the window or exhaust memory.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

}  // namespace NameListFile

// The file operations. Writing goes through a temporary file renamed over the target,
// every write checked; false when anything failed (the old file then stays as it was).

// The entries of the file; nothing when it cannot be opened or read, is not a regular file
// (a device, a pipe, a folder), is larger than MaxFileBytes or holds more than MaxEntries
// entries; `problem` then says why
// when there is more to say than that it could not be read.
std::optional<QList<NameListEntry>> ReadNameListFile(const QString& path,
                                                     QString* problem = nullptr);
bool WriteNameListFile(const QString& path, const QList<NameListEntry>& entries);
// A new list: one entry of three empty items.
bool CreateNameListFile(const QString& path);
