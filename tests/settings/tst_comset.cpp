#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "CommSettingsText.h"
#include "DialogsDouble.h"
#include "G_Param.h"
#include "QtSerialPort.h"
#include "SerialPortDouble.h"
#include "ServiceDoubles.h"
#include "TestProgramFolder.h"
#include "WindowTestSupport.h"
#include "frmComSet.h"

class ComSetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<SerialPortDouble> m_port;
    DeviceInventoryDouble m_inventory;
    DialogsDouble m_dialogs;

    std::unique_ptr<frmComSet> OpenDialog() {
        return std::make_unique<frmComSet>(*m_port, m_inventory, m_dialogs);
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_port = std::make_unique<SerialPortDouble>();
        m_port->SetCommPort(1);
        m_port->SetSettings(QStringLiteral("4800,E,8,1"));
        m_inventory.Devices.clear();
    }

    void buildsTheSettingsString_data() {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("bits");
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults") << "4800"
                                  << "Even"
                                  << "8"
                                  << "4800,E,8,1";
        QTest::newRow("odd") << "2400"
                             << "Odd"
                             << "7"
                             << "2400,O,7,1";
        QTest::newRow("none, spaces around numbers") << " 9600 "
                                                     << "None"
                                                     << " 8"
                                                     << "9600,N,8,1";
    }
    void buildsTheSettingsString() {
        QFETCH(QString, baud);
        QFETCH(QString, parity);
        QFETCH(QString, bits);
        QFETCH(QString, expected);
        QCOMPARE(CommSettingsText::Build(baud, parity, bits), expected);
    }

    void readsThePortSettings_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("bits");
        QTest::newRow("even") << "4800,e,8,1"
                              << "4800"
                              << "Even"
                              << "8";
        QTest::newRow("odd") << "2400,o,7,1"
                             << "2400"
                             << "Odd"
                             << "7";
        QTest::newRow("none") << "9600,n,8,2"
                              << "9600"
                              << "None"
                              << "8";
        QTest::newRow("upper case letter is not the port's") << "4800,E,8,1"
                                                             << "4800"
                                                             << ""
                                                             << "8";
        QTest::newRow("mark parity") << "1200,m,7,1"
                                     << "1200"
                                     << ""
                                     << "7";
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << "";
    }
    void readsThePortSettings() {
        QFETCH(QString, settings);
        QFETCH(QString, baud);
        QFETCH(QString, parity);
        QFETCH(QString, bits);
        const auto selection = CommSettingsText::FromPortSettings(settings);
        QCOMPARE(selection.BaudRate, baud);
        QCOMPARE(selection.Parity, parity);
        QCOMPARE(selection.DataBits, bits);
    }

    void listsHoldTheirEntries() {
        auto dlg = OpenDialog();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("通信設定"));
        const auto entries = [](const QComboBox* list) {
            QStringList texts;
            for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
            return texts;
        };
        QCOMPARE(entries(dlg->findChild<QComboBox*>("cboBaudrate")),
                 QStringList({"600", "1200", "2400", "4800", "9600"}));
        QCOMPARE(entries(dlg->findChild<QComboBox*>("cboDataBit")), QStringList({"8", "7"}));
        QCOMPARE(entries(dlg->findChild<QComboBox*>("cboParity")),
                 QStringList({"Even", "Odd", "None"}));
        QCOMPARE(dlg->findChild<QPushButton*>("cmdDefTrans")->toolTip(),
                 QStringLiteral("全ての値を初期設定に戻します"));
    }

    void portListMarksTheInventory() {
        m_inventory.Devices = {
            {QStringLiteral("ACPI\\PNP0501\\1"), QStringLiteral("Communications Port (COM3)"), {}},
            {QStringLiteral("USB\\VID_0403"), QStringLiteral("USB Serial Port (COM12)"), {}},
            {QStringLiteral("PCI\\VEN_9710"), QStringLiteral("PCI Serial Port (COM5)"), {}}};
        auto dlg = OpenDialog();
        const auto* ports = dlg->findChild<QComboBox*>("cboPortNum");
        QCOMPARE(ports->count(), 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(ports->itemText(i),
                     QStringLiteral("Com%1%2").arg(i + 1).arg(i == 2 ? " 有効" : " --"));
    }

    void withoutDevicesEveryPortCanBeChosen() {
        auto dlg = OpenDialog();
        auto* ports = dlg->findChild<QComboBox*>("cboPortNum");
        QCOMPARE(ports->count(), 8);
        for (int i = 0; i < 8; ++i) {
            QVERIFY(ports->itemText(i).endsWith(QStringLiteral(" --")));
            ports->setCurrentIndex(i);
            QCOMPARE(ports->currentIndex(), i);
        }
        dlg->findChild<QPushButton*>("cmdOkTrans")->click();
        QCOMPARE(G_Param.PortNumber, int16_t(8));
        QCOMPARE(m_port->CommPort(), 8);
    }

    // Beside the list too, for the chosen entry and the one pointed at.
    void portEntriesShowTheDeviceTheyStandFor() {
#ifdef Q_OS_WIN
        QSKIP("ports/COMn links are Linux's; Windows names COMn itself");
#endif
        m_inventory.Devices = {{QStringLiteral("pty"), QStringLiteral("/dev/pts/9 (COM2)"),
                                QStringLiteral("/dev/pts/9")}};
        for (int n : {1, 2, 3}) QVERIFY(QFile::remove(m_folder->ComLink(n)));
        QVERIFY(QFile::link(QStringLiteral("/dev/no-meter"), m_folder->ComLink(3)));
        QtSerialPort port(m_folder->Path());
        frmComSet dlg(port, m_inventory, m_dialogs);
        QCOMPARE(dlg.cboPortNum->itemData(1, Qt::ToolTipRole).toString(), "/dev/pts/9");
        QCOMPARE(dlg.lblPortDevice->text(), QStringLiteral("/dev/ttyS0"));
        emit dlg.cboPortNum->highlighted(2);  // a link whose device is missing
        QCOMPARE(dlg.lblPortDevice->text(),
                 QStringLiteral("/dev/no-meter（装置が見つかりません）"));
    }

    void opensWithThePortsCurrentValues_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("bits");
        QTest::newRow("stored defaults") << 1 << "4800,E,8,1"
                                         << "4800"
                                         << "Even"
                                         << "8";
        QTest::newRow("odd") << 4 << "2400,O,7,1"
                             << "2400"
                             << "Odd"
                             << "7";
        QTest::newRow("none") << 8 << "600,N,8,1"
                              << "600"
                              << "None"
                              << "8";
    }
    void opensWithThePortsCurrentValues() {
        QFETCH(int, port);
        QFETCH(QString, settings);
        QFETCH(QString, baud);
        QFETCH(QString, parity);
        QFETCH(QString, bits);
        QCOMPARE(m_port->SetCommPort(port), 0);
        QCOMPARE(m_port->SetSettings(settings), 0);
        auto dlg = OpenDialog();
        QCOMPARE(dlg->findChild<QComboBox*>("cboPortNum")->currentIndex(), port - 1);
        QCOMPARE(dlg->findChild<QComboBox*>("cboBaudrate")->currentText(), baud);
        QCOMPARE(dlg->findChild<QComboBox*>("cboParity")->currentText(), parity);
        QCOMPARE(dlg->findChild<QComboBox*>("cboDataBit")->currentText(), bits);
    }

    void savingStoresTheChosenLine() {
        m_port->SetPortOpen(true);
        auto dlg = OpenDialog();
        dlg->findChild<QComboBox*>("cboPortNum")->setCurrentIndex(2);
        dlg->findChild<QComboBox*>("cboBaudrate")->setCurrentText(QStringLiteral("2400"));
        dlg->findChild<QComboBox*>("cboDataBit")->setCurrentText(QStringLiteral("7"));
        dlg->findChild<QComboBox*>("cboParity")->setCurrentText(QStringLiteral("Odd"));
        dlg->findChild<QPushButton*>("cmdOkTrans")->click();

        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(G_Param.CommSettings, QStringLiteral("2400,O,7,1"));
        QCOMPARE(G_Param.PortNumber, int16_t(3));
        QCOMPARE(m_port->Settings(), QStringLiteral("2400,o,7,1"));
        QCOMPARE(m_port->CommPort(), 3);
        // Closed for the caller to reopen with the new line.
        QVERIFY(!m_port->PortOpen());
        QCOMPARE(m_port->CloseCount, 1);
        QCOMPARE(FileBytes(m_folder->SettingsFile()), QByteArray("\"2400,O,7,1\",3,0,0,0\r\n"));
    }

    void savingKeepsTheOtherSettings() {
        G_Param.OperationMode = 1;
        G_Param.AutoWriteOn = 1;
        G_Param.AutoWriteDelay = 5;
        auto dlg = OpenDialog();
        dlg->findChild<QPushButton*>("cmdOkTrans")->click();
        QCOMPARE(FileBytes(m_folder->SettingsFile()), QByteArray("\"4800,E,8,1\",1,1,1,5\r\n"));
    }

    void defaultButtonSelectsTheDefaultsWithoutStoring() {
        m_port->SetCommPort(6);
        m_port->SetSettings(QStringLiteral("9600,N,7,1"));
        auto dlg = OpenDialog();
        dlg->findChild<QPushButton*>("cmdDefTrans")->click();
        QCOMPARE(dlg->findChild<QComboBox*>("cboPortNum")->currentIndex(), 0);
        QCOMPARE(dlg->findChild<QComboBox*>("cboBaudrate")->currentText(), QStringLiteral("4800"));
        QCOMPARE(dlg->findChild<QComboBox*>("cboDataBit")->currentText(), QStringLiteral("8"));
        QCOMPARE(dlg->findChild<QComboBox*>("cboParity")->currentText(), QStringLiteral("Even"));
        QVERIFY(G_Param.CommSettings.isEmpty());
        QCOMPARE(m_port->Settings(), QStringLiteral("9600,n,7,1"));
        QVERIFY(!QFile::exists(m_folder->SettingsFile()));

        dlg->findChild<QPushButton*>("cmdOkTrans")->click();
        QCOMPARE(G_Param.CommSettings, QStringLiteral("4800,E,8,1"));
        QCOMPARE(G_Param.PortNumber, int16_t(1));
    }

    void cancelAndCloseBoxChangeNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndCloseBoxChangeNothing() {
        QFETCH(bool, closeBox);
        m_port->SetPortOpen(true);
        auto dlg = OpenDialog();
        dlg->show();
        dlg->findChild<QComboBox*>("cboPortNum")->setCurrentIndex(4);
        dlg->findChild<QComboBox*>("cboBaudrate")->setCurrentText(QStringLiteral("600"));
        if (closeBox)
            dlg->close();
        else
            dlg->findChild<QPushButton*>("cmdCancelTrans")->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(G_Param.CommSettings.isEmpty());
        QCOMPARE(G_Param.PortNumber, int16_t(0));
        QCOMPARE(m_port->Settings(), QStringLiteral("4800,e,8,1"));
        QCOMPARE(m_port->CommPort(), 1);
        QVERIFY(m_port->PortOpen());
        QVERIFY(!QFile::exists(m_folder->SettingsFile()));
    }

    void valuesTheListsCannotShowAreKept() {
        // A port above 8 or a rate the list does not offer stays as the port has it.
        m_port->SetCommPort(12);
        m_port->SetSettings(QStringLiteral("19200,O,8,1"));
        auto dlg = OpenDialog();
        QCOMPARE(dlg->findChild<QComboBox*>("cboPortNum")->currentIndex(), -1);
        QCOMPARE(dlg->findChild<QComboBox*>("cboBaudrate")->currentIndex(), -1);
        dlg->findChild<QComboBox*>("cboDataBit")->setCurrentText(QStringLiteral("7"));
        dlg->findChild<QPushButton*>("cmdOkTrans")->click();
        QCOMPARE(G_Param.CommSettings, QStringLiteral("19200,O,7,1"));
        QCOMPARE(G_Param.PortNumber, int16_t(12));
    }

    void captionsAreNotCut() {
        m_inventory.Devices = {{QStringLiteral("ACPI"), QStringLiteral("Port (COM1)"), {}}};
        auto dlg = OpenDialog();
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        QCOMPARE(CutCaptions(*dlg), QStringList());
        auto* ports = dlg->findChild<QComboBox*>("cboPortNum");
        QVERIFY(ports->width() >= ports->sizeHint().width());
        SaveScreenshot(*dlg, QStringLiteral("settings-comset"));
    }
};

QTEST_MAIN(ComSetTest)
#include "tst_comset.moc"
