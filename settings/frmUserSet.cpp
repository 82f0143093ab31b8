#include "frmUserSet.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "AutoWriteDelay.h"
#include "Dialogs.h"
#include "FileResult.h"
#include "G_Param.h"
#include "MainWindowHooks.h"
#include "Named.h"
#include "ProgramOptions.h"
#include "SettingsTexts.h"
#include "mdlPublicWriteFunc.h"

namespace {}  // namespace

frmUserSet::frmUserSet(Dialogs& dialogs, DisplayControl& display, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_display(display) {
    setObjectName(QStringLiteral("frmUserSet"));
    setWindowTitle(QStringLiteral("ユーザ設定"));

    fraMode = Named(new QGroupBox(QStringLiteral("身長体重計モード設定"), this),
                    QStringLiteral("fraMode"));
    lblModeNote = Named(new QLabel(QStringLiteral("本体の設定に合わせて下さい"), fraMode),
                        QStringLiteral("lblModeNote"));
    optMode_0 = Named(new QRadioButton(QStringLiteral("マニュアルモード"), fraMode),
                      QStringLiteral("optMode_0"));
    optMode_1 = Named(new QRadioButton(QStringLiteral("コマンドモード"), fraMode),
                      QStringLiteral("optMode_1"));
    auto* modeOptions = new QHBoxLayout;
    modeOptions->addWidget(optMode_0);
    modeOptions->addWidget(optMode_1);
    modeOptions->addStretch(1);
    auto* modeLayout = new QVBoxLayout(fraMode);
    modeLayout->addWidget(lblModeNote);
    modeLayout->addLayout(modeOptions);

    fraAutoWrite = Named(new QGroupBox(QStringLiteral("自動書き込み機能"), this),
                         QStringLiteral("fraAutoWrite"));
    fraAutoWrite->setToolTip(QStringLiteral("チェックをONにすると自動保存します"));
    chkAutoWrite =
        Named(new QCheckBox(QStringLiteral("データ受信後、自動書き込みする"), fraAutoWrite),
              QStringLiteral("chkAutoWrite"));
    sldAutoWrite = Named(new QSlider(Qt::Horizontal, fraAutoWrite), QStringLiteral("sldAutoWrite"));
    sldAutoWrite->setRange(AutoWriteDelay::MinSeconds, AutoWriteDelay::MaxSeconds);
    sldAutoWrite->setSingleStep(1);
    sldAutoWrite->setPageStep(5);
    sldAutoWrite->setTickPosition(QSlider::TicksBelow);
    sldAutoWrite->setTickInterval(5);
    lblAutoWrite = Named(new QLabel(QStringLiteral("時間調節バー"), fraAutoWrite),
                         QStringLiteral("lblAutoWrite"));
    lblAutoWrite->setBuddy(sldAutoWrite);
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(lblAutoWrite);
    sliderRow->addWidget(sldAutoWrite, 1);
    chkWholePerson =
        Named(new QCheckBox(QStringLiteral("身長と体重がそろってから書き込む"), fraAutoWrite),
              QStringLiteral("chkWholePerson"));
    chkWholePerson->setToolTip(
        QStringLiteral("身長だけ、体重だけでは書き込まず、両方を受信してから書き込みます"));
    auto* autoLayout = new QVBoxLayout(fraAutoWrite);
    autoLayout->addWidget(chkAutoWrite);
    autoLayout->addLayout(sliderRow);
    autoLayout->addWidget(chkWholePerson);

    cmdOkUser = Named(new QPushButton(QStringLiteral("保存"), this), QStringLiteral("cmdOkUser"));
    cmdCancelUser =
        Named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("cmdCancelUser"));
    cmdDefUser =
        Named(new QPushButton(QStringLiteral("初期値"), this), QStringLiteral("cmdDefUser"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDefUser);
    buttons->addStretch(1);
    buttons->addWidget(cmdOkUser);
    buttons->addWidget(cmdCancelUser);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraMode);
    layout->addWidget(fraAutoWrite);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(optMode_0, &QRadioButton::clicked, this, [this] { optMode_Click(0); });
    connect(optMode_1, &QRadioButton::clicked, this, [this] { optMode_Click(1); });
    connect(sldAutoWrite, &QSlider::valueChanged, this, &frmUserSet::sldAutoWrite_Change);
    connect(cmdOkUser, &QPushButton::clicked, this, &frmUserSet::cmdOkUser_Click);
    connect(cmdCancelUser, &QPushButton::clicked, this, &frmUserSet::cmdCancelUser_Click);
    connect(cmdDefUser, &QPushButton::clicked, this, &frmUserSet::cmdDefUser_Click);

    Form_Load();
}

void frmUserSet::Form_Load() {
    m_settingsDirty = 0;
    (G_Param.OperationMode != 0 ? optMode_1 : optMode_0)->setChecked(true);
    chkAutoWrite->setChecked(G_Param.AutoWriteOn == 1);
    // A stored delay outside 1-60 s shows as the delay that automatic writing really uses.
    sldAutoWrite->setValue(AutoWriteDelay::ClampedSeconds(G_Param.AutoWriteDelay));
    chkWholePerson->setChecked(G_Param.AutoWriteWholePerson);
    UpdateAutoWriteCaption();
}

void frmUserSet::UpdateAutoWriteCaption() {
    chkAutoWrite->setText(QStringLiteral("データ受信から") +
                          QString::number(sldAutoWrite->value()) +
                          QStringLiteral("秒後に自動書き込みする"));
}

void frmUserSet::optMode_Click(int index) {
    m_settingsDirty = index != G_Param.OperationMode ? 1 : 0;
}

void frmUserSet::sldAutoWrite_Change() {
    UpdateAutoWriteCaption();
}

void frmUserSet::cmdDefUser_Click() {
    m_settingsDirty = 1;
    if (!optMode_0->isChecked()) {
        optMode_0->setChecked(true);
        optMode_Click(0);
    }
    if (!chkAutoWrite->isChecked()) chkAutoWrite->setChecked(true);
    sldAutoWrite->setValue(AutoWriteDelay::DefaultSeconds);
    chkWholePerson->setChecked(true);  // a whole person by default
    UpdateAutoWriteCaption();
}

void frmUserSet::StoreSettings() {
    G_Param.OperationMode = optMode_0->isChecked() ? 0 : 1;
    G_Param.AutoWriteOn = chkAutoWrite->isChecked() ? 1 : 0;
    G_Param.AutoWriteDelay = static_cast<int16_t>(sldAutoWrite->value());
    if (const FileResult result = WriteSettings(); !result)
        m_dialogs.Message(result.Message(), MsgIcon::Warning);
    // Kept apart from user.dat, whose layout other programs read.
    G_Param.AutoWriteWholePerson = chkWholePerson->isChecked();
    if (const FileResult result = ProgramOptions::Write(); !result)
        m_dialogs.Message(result.Message(), MsgIcon::Warning);
}

void frmUserSet::cmdOkUser_Click() {
    m_settingsDirty = 0;
    StoreSettings();
    accept();
    m_display.ApplyModeLayout();
    m_display.RefreshDisplay();
}

void frmUserSet::cmdCancelUser_Click() {
    m_settingsDirty = 0;
    reject();
}

void frmUserSet::done(int result) {
    if (m_closing) return;
    m_closing = true;
    if (m_settingsDirty == 1) {
        m_settingsDirty = 0;
        if (m_dialogs.AskYesNo(SettingsTexts::UnsavedQuestion())) {
            StoreSettings();
            m_display.ApplyModeLayout();
        }
    }
    QDialog::done(result);
    m_closing = false;
}
