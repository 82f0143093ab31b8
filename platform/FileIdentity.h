#pragma once

#include <QString>
#include <QtGlobal>

// What a path leads to, links followed, and which file that is: the same identity for every
// path to one file (a link, a hard link, a second mount of its folder). Device and inode on
// Linux; volume serial number and file index on Windows.
struct FileIdentity {
    enum class Kind { Missing, Regular, Folder, Other };
    Kind Type = Kind::Missing;  // Other: a device, a pipe, a socket
    quint64 Volume = 0;
    quint64 File = 0;

    // Two paths to one file or folder; nothing is the same as a missing path.
    bool SameAs(const FileIdentity& other) const {
        return Type != Kind::Missing && other.Type != Kind::Missing && Volume == other.Volume &&
               File == other.File;
    }
};

// Looks at `path` without opening it for writing (a device is never opened at all on Linux).
FileIdentity IdentityOf(const QString& path);
