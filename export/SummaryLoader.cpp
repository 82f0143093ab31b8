#include "SummaryLoader.h"

#include <QApplication>
#include <QDir>
#include <QPluginLoader>
#include <cstdio>
#include <memory>

#include "CommandLine.h"
#include "Dialogs.h"
#include "SummaryPlugin.h"

namespace {

// Qt's own notes on the way (no runtime folder for the offscreen platform, fonts) are no
// business of a script: it gets one line on failure and nothing otherwise.
void QuietNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

namespace SummaryLoader {

SummaryPlugin* Load(const QString& appFolder, QString& error) {
    // Parented to the application: the library stays loaded while the program runs. Each
    // loader of the same file shares the one loaded library and its one instance.
    auto* loader = new QPluginLoader(QDir(appFolder).filePath(QLatin1String(LibraryName)),
                                     QCoreApplication::instance());
    auto* summary = qobject_cast<SummaryPlugin*>(loader->instance());
    if (summary) return summary;
    error = loader->errorString();
    if (error.isEmpty()) error = QStringLiteral("not a summary library of this program");
    delete loader;
    return nullptr;
}

void ShowSummary(Dialogs& dialogs, const QString& appFolder, QWidget* parent) {
    QString error;
    SummaryPlugin* summary = Load(appFolder, error);
    if (!summary) {
        dialogs.Message(QStringLiteral("集計の部品（%1）を読み込めないため、集計を開けません。\n"
                                       "プログラムのフォルダーを入れ直してください。\n\n%2")
                            .arg(QLatin1String(LibraryName), error),
                        MsgIcon::Warning);
        return;
    }
    summary->ShowSummary(dialogs, appFolder, parent);
}

int RunCommand(int argc, char* argv[], const CommandLine& command) {
    qInstallMessageHandler(QuietNotes);
    std::unique_ptr<QCoreApplication> app;
    if (command.SaveReport.isEmpty() && command.SaveLetters.isEmpty()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        // The chart of the report is a graphics item: it needs the widget application, which
        // runs here on the offscreen platform, so no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    const QString appFolder = QCoreApplication::applicationDirPath();
    QString error;
    if (SummaryPlugin* summary = Load(appFolder, error))
        error = summary->SaveFromProgramFolder(appFolder, command);
    else
        error = QStringLiteral("the class summary library %1 could not be loaded: %2")
                    .arg(QLatin1String(LibraryName), error);
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "hakaron: %s\n", error.toLocal8Bit().constData());
    return 1;
}

}  // namespace SummaryLoader
