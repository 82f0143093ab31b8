#include <QApplication>
#include <QDir>
#include <csignal>
#include <cstdio>

#include "CommandLine.h"
#include "ProgramLook.h"
#include "QtDeviceInventory.h"
#include "QtDialogs.h"
#include "QtSerialPort.h"
#include "QtServices.h"
#include "SummaryLoader.h"
#include "frmMain.h"
#include "frmStart.h"

namespace {

int RunWindows(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PrepareApplication(app);
    const QString appFolder = QCoreApplication::applicationDirPath();

    QtSerialPort port(appFolder);
    QtDialogs dialogs;
    SystemClock clock;
    SystemBeeper beeper;
    LockFileInstanceLock lock(QDir(appFolder).filePath(QStringLiteral("Org")));
    QtDeviceInventory inventory(appFolder);
    DesktopShell shell;
    const Platform platform{appFolder, &port, &dialogs, &clock, &beeper, &lock, &inventory, &shell};

    frmStart splash;
    splash.show();
    QApplication::processEvents();

    frmMain mainWindow(platform);
    const bool started = mainWindow.Form_Load();
    splash.close();
    if (!started) return 0;
    mainWindow.show();
    return app.exec();
}

// No window and no display: only the record file is read.
int RunSaveCsv(int argc, char* argv[], const QString& target) {
    QCoreApplication app(argc, argv);
    const QString error = SaveCsvFromProgramFolder(QCoreApplication::applicationDirPath(), target);
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "hakaron: %s\n", error.toLocal8Bit().constData());
    return 1;
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A file-size limit (ulimit -f) must fail the write with its message, not end the program
    // with the reading on screen.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ParseCommandLine(arguments);
    if (!command.Error.isEmpty()) {
        Print(stderr, QStringLiteral("hakaron: %1 (see hakaron --help)\n").arg(command.Error));
        return 2;
    }
    if (command.ShowHelp) {
        Print(stdout, CommandLineHelp());
        return 0;
    }
    if (command.ShowVersion) {
        Print(stdout, VersionLine() + u'\n');
        return 0;
    }
    if (!command.SaveCsv.isEmpty()) return RunSaveCsv(argc, argv, command.SaveCsv);
    if (!command.SaveReport.isEmpty() || !command.SaveJudgement.isEmpty() ||
        !command.SaveLetters.isEmpty())
        return SummaryLoader::RunCommand(argc, argv, command);
    return RunWindows(argc, argv);
}
