#include "frmComSet.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CommSettingsText.h"
#include "Dialogs.h"
#include "G_Param.h"
#include "Named.h"
#include "PortMarks.h"
#include "SerialPort.h"
#include "Services.h"
#include "mdlPublicWriteFunc.h"

namespace {

// Selects the entry with this text; an unknown text selects nothing.
void SelectText(QComboBox* list, const QString& text) {
    list->setCurrentIndex(text.isEmpty() ? -1 : list->findText(text));
}

// What COMn stands for, as the user reads it: the device, marked when a link names a device
// that is not there (a meter or an adapter unplugged).
QString PortDeviceText(int port, const PortDevice& device) {
    const QString name =
        device.Path.isEmpty() ? QStringLiteral("ports/COM%1").arg(port) : device.Path;
    return device.Linked && !device.Present ? name + QStringLiteral("（装置が見つかりません）")
                                            : name;
}

// The selected entry, or `fallback` when nothing is selected.
QString SelectedOr(const QComboBox* list, const QString& fallback) {
    return list->currentIndex() < 0 ? fallback : list->currentText();
}

}  // namespace

frmComSet::frmComSet(SerialPort& port, const DeviceInventory& inventory, Dialogs& dialogs,
                     QWidget* parent)
    : QDialog(parent), m_port(port), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmComSet"));
    setWindowTitle(QStringLiteral("通信設定"));

    cboPortNum = Named(new QComboBox(this), QStringLiteral("cboPortNum"));
    cboBaudrate = Named(new QComboBox(this), QStringLiteral("cboBaudrate"));
    cboDataBit = Named(new QComboBox(this), QStringLiteral("cboDataBit"));
    cboParity = Named(new QComboBox(this), QStringLiteral("cboParity"));
    lblPortNum =
        Named(new QLabel(QStringLiteral("ポート番号"), this), QStringLiteral("lblPortNum"));
    lblBaudrate =
        Named(new QLabel(QStringLiteral("ボーレート"), this), QStringLiteral("lblBaudrate"));
    lblDataBit =
        Named(new QLabel(QStringLiteral("データビット"), this), QStringLiteral("lblDataBit"));
    lblParity = Named(new QLabel(QStringLiteral("パリティ"), this), QStringLiteral("lblParity"));
    lblPortDevice = Named(new QLabel(this), QStringLiteral("lblPortDevice"));
    cmdOkTrans = Named(new QPushButton(QStringLiteral("保存"), this), QStringLiteral("cmdOkTrans"));
    cmdCancelTrans = Named(new QPushButton(QStringLiteral("キャンセル"), this),
                           QStringLiteral("cmdCancelTrans"));
    cmdDefTrans =
        Named(new QPushButton(QStringLiteral("初期値"), this), QStringLiteral("cmdDefTrans"));
    cmdDefTrans->setToolTip(QStringLiteral("全ての値を初期設定に戻します"));
    lblPortNum->setBuddy(cboPortNum);
    lblBaudrate->setBuddy(cboBaudrate);
    lblDataBit->setBuddy(cboDataBit);
    lblParity->setBuddy(cboParity);

    auto* grid = new QGridLayout;
    grid->addWidget(lblPortNum, 0, 0);
    grid->addWidget(cboPortNum, 0, 1);
    grid->addWidget(lblPortDevice, 0, 2);
    grid->addWidget(lblBaudrate, 1, 0);
    grid->addWidget(cboBaudrate, 1, 1);
    grid->addWidget(lblDataBit, 2, 0);
    grid->addWidget(cboDataBit, 2, 1);
    grid->addWidget(lblParity, 3, 0);
    grid->addWidget(cboParity, 3, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDefTrans);
    buttons->addStretch(1);
    buttons->addWidget(cmdOkTrans);
    buttons->addWidget(cmdCancelTrans);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(300);

    connect(cmdOkTrans, &QPushButton::clicked, this, &frmComSet::cmdOkTrans_Click);
    connect(cmdCancelTrans, &QPushButton::clicked, this, &frmComSet::cmdCancelTrans_Click);
    connect(cmdDefTrans, &QPushButton::clicked, this, &frmComSet::cmdDefTrans_Click);
    // While the list is open the label follows the entry pointed at.
    connect(cboPortNum, &QComboBox::currentIndexChanged, this, &frmComSet::ShowPortDevice);
    connect(cboPortNum, &QComboBox::highlighted, this, &frmComSet::ShowPortDevice);
    cboPortNum->view()->window()->installEventFilter(this);  // the list's popup

    Form_Load(inventory);
}

void frmComSet::Form_Load(const DeviceInventory& inventory) {
    const PortMarks::PortMarkList marks = PortMarks::MarkPorts(inventory.SerialDevices());
    const QStringList entries = PortMarks::PortEntryTexts(marks);
    for (int k = 1; k <= PortMarks::PortCount; ++k) {
        const PortMarks::PortMark& mark = marks[static_cast<size_t>(k - 1)];
        // COMn means little on a machine without such names: show the device it stands for.
        // A link names it itself; otherwise the inventory's name for it is the better hint.
        const PortDevice resolved = m_port.DeviceOf(k);
        const QString device =
            resolved.Linked || mark.Path.isEmpty() ? PortDeviceText(k, resolved) : mark.Path;
        cboPortNum->addItem(entries.at(k - 1), device);
        cboPortNum->setItemData(k - 1, device, Qt::ToolTipRole);
    }
    cboBaudrate->addItems(CommSettingsText::BaudRateEntries());
    cboDataBit->addItems(CommSettingsText::DataBitEntries());
    cboParity->addItems(CommSettingsText::ParityEntries());

    const int portEntry = m_port.CommPort() - 1;
    cboPortNum->setCurrentIndex(portEntry >= 0 && portEntry < cboPortNum->count() ? portEntry : -1);
    const CommSettingsText::Selection current =
        CommSettingsText::FromPortSettings(m_port.Settings());
    SelectText(cboBaudrate, current.BaudRate);
    SelectText(cboParity, current.Parity);
    SelectText(cboDataBit, current.DataBits);
}

void frmComSet::ShowPortDevice(int entry) {
    lblPortDevice->setText(cboPortNum->itemData(entry).toString());
}

bool frmComSet::eventFilter(QObject* watched, QEvent* event) {
    // The list closed without a choice: back to the chosen entry's device.
    if (event->type() == QEvent::Hide && watched == cboPortNum->view()->window())
        ShowPortDevice(cboPortNum->currentIndex());
    return QDialog::eventFilter(watched, event);
}

void frmComSet::cmdDefTrans_Click() {
    cboPortNum->setCurrentIndex(0);
    cboBaudrate->setCurrentIndex(3);
    cboDataBit->setCurrentIndex(0);
    cboParity->setCurrentIndex(0);
}

void frmComSet::cmdOkTrans_Click() {
    // A value the lists cannot show (a port above 8, a rate not offered) stays as the port
    // has it instead of being replaced by nothing.
    const CommSettingsText::Selection current =
        CommSettingsText::FromPortSettings(m_port.Settings());
    G_Param.CommSettings = CommSettingsText::Build(
        SelectedOr(cboBaudrate, current.BaudRate),
        SelectedOr(cboParity, QString(QChar::fromLatin1(m_port.Line().Parity))),
        SelectedOr(cboDataBit, current.DataBits));
    G_Param.PortNumber = static_cast<int16_t>(
        cboPortNum->currentIndex() < 0 ? m_port.CommPort() : cboPortNum->currentIndex() + 1);
    m_port.SetPortOpen(false);
    m_port.SetSettings(G_Param.CommSettings);
    m_port.SetCommPort(G_Param.PortNumber);
    if (const FileResult result = WriteSettings(); !result)
        m_dialogs.Message(result.Message(), MsgIcon::Warning);
    accept();
}

void frmComSet::cmdCancelTrans_Click() {
    reject();
}
