#pragma once

#include <QString>

// The one check of a file about to be saved (the CSV, the summary's CSV and PDF, from the
// windows and the command line), made before anything is opened for writing.
namespace SaveTarget {

enum class Problem {
    None,
    ProgramFile,  // the program, or a file in its Org, Name_List or ports folder, by any path
    Folder,       // a folder of that name is there
    NotAFile,     // a device, a pipe, a socket
    NoFolder,     // the folder to hold it does not exist
};

// Files are compared as files (device and inode, file ID on Windows), so a link, a hard link
// or a second mount of the program folder is found too; a link is followed to where it leads.
Problem Check(const QString& target, const QString& appFolder, const QString& program);
// The same, for the program running now.
Problem Check(const QString& target);
// Why the window does not save there (Japanese), empty for None.
QString Reason(Problem problem);
// One line for the command line: "<target> is …".
QString CommandLineReason(Problem problem, const QString& target);

}  // namespace SaveTarget
