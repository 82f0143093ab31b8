#pragma once

#include <QFile>
#include <memory>

#include "DialogsDouble.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "SerialPortDouble.h"
#include "ServiceDoubles.h"
#include "TestProgramFolder.h"
#include "frmMain.h"
#include "mdlPublicWriteFunc.h"

// A main window on test doubles in a fresh program folder.
struct MainWindowFixture {
    TestProgramFolder folder;
    SerialPortDouble port;
    DialogsDouble dialogs;
    ClockDouble clock;
    BeeperDouble beeper;
    InstanceLockDouble lock;
    DeviceInventoryDouble inventory;
    ShellDouble shell;
    std::unique_ptr<frmMain> window;

    Platform MakePlatform() {
        return Platform{folder.Path(), &port, &dialogs, &clock, &beeper, &lock, &inventory, &shell};
    }

    // user.dat for command mode on COM1 with the given automatic writing.
    void WriteUserDat(int mode = 1, int autoOn = 0, int delay = 0) {
        G_Param.CommSettings = QStringLiteral("4800,E,8,1");
        G_Param.PortNumber = 1;
        G_Param.OperationMode = int16_t(mode);
        G_Param.AutoWriteOn = uint8_t(autoOn);
        G_Param.AutoWriteDelay = int16_t(delay);
        WriteSettings();
        const QString app = G_Param.AppFolder;
        G_Param = GlobalParams{};
        G_Param.SetFolders(app);
    }

    // A measurement set with records No. 1..count whose height is 100 + No.
    void WriteRecords(int count) {
        QList<MeasureRecord> records(2);
        for (int k = 1; k <= count; ++k) {
            MeasureRecord r;
            r.SubLabel1 = QStringLiteral("名前%1").arg(k);
            r.Values.Height = QString::number(100 + k);
            records.append(r);
        }
        RecordFile::Replace(folder.RecordFile(), records);
    }

    frmMain& Start() {
        window = std::make_unique<frmMain>(MakePlatform());
        window->Form_Load();
        return *window;
    }

    MeasureRecord Record(int r) const { return RecordFile::Read(folder.RecordFile(), r).Record; }
    int Count() const { return RecordFile::Count(folder.RecordFile()); }
};
