// The library of the program's windows (hakaron-window.so or .dll), loaded by the executable
// for everything but --help, --version and --save-csv: those start without Qt's GUI modules.

#include <QApplication>
#include <QDir>
#include <QtGlobal>

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

}  // namespace

// The executable has checked the command line; the summary's outputs or the windows.
extern "C" Q_DECL_EXPORT int HakaronRunProgram(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ParseCommandLine(arguments);
    if (!command.SaveReport.isEmpty() || !command.SaveJudgement.isEmpty() ||
        !command.SaveLetters.isEmpty())
        return SummaryLoader::RunCommand(argc, argv, command);
    return RunWindows(argc, argv);
}
