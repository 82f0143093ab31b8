#pragma once

#include <QString>

#include "ClassSummary.h"

struct CommandLine;

// `hakaron --save-report FILE.pdf` and `--save-judgement FILE.csv`: the class summary of the
// program folder's measurement set without a window or a display. Items not named on the
// command line are read as the summary window last had them.

// The choice of items: the remembered one, then what the command line names.
SummaryChoice CommandLineChoice(const CommandLine& command, const QString& iniPath,
                                const QStringList& captions);
// Writes what the command line asks for. Returns why it failed, empty on success.
QString SaveSummaryFromProgramFolder(const QString& appFolder, const CommandLine& command);
