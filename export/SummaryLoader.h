#pragma once

#include <QString>

class Dialogs;
class QWidget;
class SummaryPlugin;
struct CommandLine;

// Finds and loads the summary library beside the program (hakaron-summary.dll on Windows,
// hakaron-summary.so elsewhere). A missing or broken library only means no summary: the
// program starts and measures without it, and whoever opens the summary is told why.
namespace SummaryLoader {

inline constexpr char LibraryName[] = "hakaron-summary";

// The library's summary, kept loaded for the rest of the run; null with `error` set when
// the library is missing or is not this program's.
SummaryPlugin* Load(const QString& appFolder, QString& error);
// The window 集計, or a warning saying why it cannot open.
void ShowSummary(Dialogs& dialogs, const QString& appFolder, QWidget* parent);
// The command-line run of the summary, from the application object on: 0 on success;
// otherwise one line on stderr and 1.
int RunCommand(int argc, char* argv[], const CommandLine& command);

}  // namespace SummaryLoader
