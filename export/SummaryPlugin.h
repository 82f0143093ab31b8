#pragma once

#include <QString>
#include <QtPlugin>

class Dialogs;
class QWidget;
struct CommandLine;

// The class summary (its window, chart, report, letters and their command-line options) is a
// library of its own beside the program, loaded the first time it is used: it brings Qt
// Charts, Print Support and OpenGL, which the program's start, its measuring and --save-csv
// do without.
class SummaryPlugin {
public:
    virtual ~SummaryPlugin() = default;
    // The window 集計, modal, on the measurement set of the program folder `appFolder`. The
    // library has its own G_Param (its own copy of the static libraries): it sets its folders
    // from `appFolder` before anything reads them.
    virtual void ShowSummary(Dialogs& dialogs, const QString& appFolder, QWidget* parent) = 0;
    // --save-report, --save-judgement and --save-letters for the set of the program folder:
    // why it failed, empty on success.
    virtual QString SaveFromProgramFolder(const QString& appFolder, const CommandLine& command) = 0;
};

#define HakaronSummaryPlugin_iid "jp.hakaron.SummaryPlugin/1"
Q_DECLARE_INTERFACE(SummaryPlugin, HakaronSummaryPlugin_iid)
