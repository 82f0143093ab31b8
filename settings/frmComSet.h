#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class SerialPort;
class DeviceInventory;
class Dialogs;

// "通信設定": the serial port and its line settings. The caller takes the link offline
// before showing it modally and reopens the port afterwards.
class frmComSet : public QDialog {
    Q_OBJECT
public:
    frmComSet(SerialPort& port, const DeviceInventory& inventory, Dialogs& dialogs,
              QWidget* parent = nullptr);

    QComboBox* cboPortNum = nullptr;
    QComboBox* cboBaudrate = nullptr;
    QComboBox* cboDataBit = nullptr;
    QComboBox* cboParity = nullptr;
    QLabel* lblPortNum = nullptr;
    QLabel* lblBaudrate = nullptr;
    QLabel* lblDataBit = nullptr;
    QLabel* lblParity = nullptr;
    QLabel* lblPortDevice = nullptr;  // the device the chosen (or pointed-at) COMn stands for
    QPushButton* cmdOkTrans = nullptr;
    QPushButton* cmdCancelTrans = nullptr;
    QPushButton* cmdDefTrans = nullptr;

public slots:
    void cmdOkTrans_Click();
    void cmdCancelTrans_Click();
    void cmdDefTrans_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(const DeviceInventory& inventory);
    void ShowPortDevice(int entry);

    SerialPort& m_port;
    Dialogs& m_dialogs;
};
