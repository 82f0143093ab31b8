#include <QApplication>

#include "ProgramLook.h"
#include "QtDeviceInventory.h"
#include "QtDialogs.h"
#include "QtSerialPort.h"
#include "QtServices.h"
#include "frmMain.h"
#include "frmStart.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PrepareApplication(app);
    const QString appFolder = QCoreApplication::applicationDirPath();

    QtSerialPort port(appFolder);
    QtDialogs dialogs;
    SystemClock clock;
    SystemBeeper beeper;
    LockFileInstanceLock lock;
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
