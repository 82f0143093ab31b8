#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for, read before any window or application object exists.
struct CommandLine {
    bool ShowHelp = false;
    bool ShowVersion = false;
    QString SaveCsv;  // empty: start the windows
    QString Error;    // why the arguments were refused; printed to stderr, exit code 2
    // The class summary without a window: the report and the judgement CSV, and the items
    // (1-3, 0 none) that say who is who; what is not given is read as the window last had it.
    QString SaveReport;
    QString SaveJudgement;
    QString SaveLetters;  // letters to parents, one page per pupil at ±20 % and beyond
    std::optional<int> SexItem;
    std::optional<int> AgeItem;
    std::optional<int> GradeItem;
    QString School;  // 小, 中 or 高: the school of grades written without it
    std::optional<int> Age;
    std::optional<int> GroupItem;
};

// `arguments` starts with the program's own name, as QCoreApplication::arguments() does.
// Qt's own options (-platform, -style, -session, …) are left to Qt, not refused.
CommandLine ParseCommandLine(const QStringList& arguments);
// The text of --help.
QString CommandLineHelp();
// "Hakaron ver.1.30".
QString VersionLine();

// Writes the measurement set of the program folder to `target` with the bytes the menu's
// CSV save writes, the label lines taken from the header record. The record file is only
// read; an existing target is replaced only when the whole file was written. Returns why it
// failed, empty on success.
QString SaveCsvFromProgramFolder(const QString& appFolder, const QString& target);
