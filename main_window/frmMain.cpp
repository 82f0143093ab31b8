#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ClickLabel.h"
#include "Commands.h"
#include "CutPreview.h"
#include "Dialogs.h"
#include "FileResult.h"
#include "G_Const.h"
#include "G_Param.h"
#include "LinePrintBox.h"
#include "MainTexts.h"
#include "MeterLink.h"
#include "NameListCommands.h"
#include "Named.h"
#include "OpenWithShell.h"
#include "ProductInfo.h"
#include "RecordFile.h"
#include "RecordNumbering.h"
#include "SerialPort.h"
#include "Services.h"
#include "frmAbout.h"
#include "frmComSet.h"
#include "frmHelp.h"
#include "frmLabelSet.h"
#include "frmPreview.h"
#include "frmProgressBar.h"
#include "frmUserSet.h"
#include "imlLogo.h"
#include "mdlDataLoadFunc.h"
#include "mdlParamCls.h"
#include "mdlPublicWriteFunc.h"
#include "mdlStandard.h"

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kWindowWidthTwips = 8000;
constexpr int kCommandModeHeightTwips = 7000;
constexpr int kManualModeHeightTwips = 5600;

// Rounded, not cut: 7000 twips are 466.67 pixels, so 467.
int TwipsToPixels(int twips) {
    return int(std::lround(double(twips) / kTwipsPerPixel));
}

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}
}  // namespace

frmMain::frmMain(const Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_platform(platform) {
    setObjectName(QStringLiteral("frmMain"));
    m_platform.Port->setObjectName(QStringLiteral("mscPort"));
    m_link = new MeterLink(*m_platform.Port, *m_platform.Dialog, *this, this);
    m_link->setObjectName(QStringLiteral("MeterLink"));
    AwTimer = Named(new QTimer(this), QStringLiteral("AwTimer"));
    AwTimer->setInterval(2000);
    connect(AwTimer, &QTimer::timeout, this, &frmMain::AwTimer_Timer);
    BuildControls();
    BuildMenus();
    connect(m_link, &MeterLink::LookChanged, this, &frmMain::UpdateConnectLook);
    UpdateConnectLook();
    setWindowTitle(mdlDataLoadFunc::WindowTitle(QString(), false));
}

frmMain::~frmMain() = default;

void frmMain::BuildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    lblTytle = Named(new ClickLabel(MainTexts::TitleCaption, central), QStringLiteral("lblTytle"));
    lblToday = Named(new ClickLabel(MainTexts::DateCaption, central), QStringLiteral("lblToday"));
    lblPerson =
        Named(new ClickLabel(MainTexts::PersonCaption, central), QStringLiteral("lblPerson"));
    for (ClickLabel* label : {lblTytle, lblToday, lblPerson}) {
        label->setToolTip(MainTexts::HeaderHint);
        connect(label, &ClickLabel::doubleClicked, this, &frmMain::OpenLabelSettingsDirect);
    }
    QFont titleFont = lblTytle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    titleFont.setBold(true);
    lblTytle->setFont(titleFont);

    txtNumber = Named(new QLineEdit(central), QStringLiteral("txtNumber"));
    txtNumber->setToolTip(QStringLiteral("レコードナンバーです"));
    txtNumber->setMaximumWidth(60);
    txtNumber->setAlignment(Qt::AlignRight);
    connect(txtNumber, &QLineEdit::textChanged, this, &frmMain::txtNumber_Change);
    txtNumber->installEventFilter(this);

    const std::array<QString, 3> numberCaptions{QStringLiteral("◀ 前"), QStringLiteral("次 ▶"),
                                                QStringLiteral("新規")};
    const std::array<QString, 3> numberHints{QStringLiteral("１つ前のナンバーへ"),
                                             QStringLiteral("次のナンバーへ"),
                                             QStringLiteral("新しいナンバーへ")};
    for (int i = 0; i < 3; ++i) {
        cmdNumber[i] = Named(new QPushButton(numberCaptions[i], central), Indexed("cmdNumber", i));
        cmdNumber[i]->setToolTip(numberHints[i]);
        connect(cmdNumber[i], &QPushButton::clicked, this, [this, i] { MoveNumber(i); });
    }

    for (int i = 0; i < 3; ++i) {
        lblSubLabel[i] = Named(new ClickLabel(QStringLiteral("項目%1").arg(i + 1), central),
                               Indexed("lblSubLabel", i));
        lblSubLabel[i]->setToolTip(MainTexts::HeaderHint);
        lblSubLabel[i]->setMinimumWidth(90);
        connect(lblSubLabel[i], &ClickLabel::doubleClicked, this,
                &frmMain::OpenLabelSettingsDirect);
        txtSubLabel[i] = Named(new QLineEdit(central), Indexed("txtSubLabel", i));
        txtSubLabel[i]->setToolTip(QStringLiteral("全角で10文字以内です"));
        CutPreview::Attach(txtSubLabel[i], Text20::Length);
        txtSubLabel[i]->installEventFilter(this);
        connect(txtSubLabel[i], &QLineEdit::textEdited, this, &frmMain::RestartAutoWriteDelay);
    }

    cmdInputData =
        Named(new QPushButton(QStringLiteral("入力"), central), QStringLiteral("cmdInputData"));
    cmdInputData->setToolTip(QStringLiteral("一時保存ファイルへ入力"));
    connect(cmdInputData, &QPushButton::clicked, this, &frmMain::InputClick);
    cmdClearMain =
        Named(new QPushButton(QStringLiteral("クリア"), central), QStringLiteral("cmdClearMain"));
    cmdClearMain->setToolTip(QStringLiteral("データをクリア入力します"));
    connect(cmdClearMain, &QPushButton::clicked, this, &frmMain::ClearCurrent);

    lblSyDisp = Named(new QLabel(central), QStringLiteral("lblSyDisp"));
    lblTzDisp = Named(new QLabel(central), QStringLiteral("lblTzDisp"));
    lblZkDisp = Named(new QLabel(central), QStringLiteral("lblZkDisp"));
    lblFatRatio = Named(new QLabel(central), QStringLiteral("lblFatRatio"));
    QFont valueFont = lblSyDisp->font();
    valueFont.setPointSizeF(valueFont.pointSizeF() * 1.25);
    for (QLabel* label : {lblSyDisp, lblTzDisp, lblZkDisp, lblFatRatio}) label->setFont(valueFont);
    lblBmiRes = Named(new QLabel(MainTexts::NoValue, central), QStringLiteral("lblBmiRes"));
    lblBmiRes->setToolTip(QStringLiteral("BMI値を計算、表示します　"));
    lblBmiRes->setAlignment(Qt::AlignCenter);
    lblBmiRes->setFrameShape(QFrame::Panel);
    lblBmiRes->setFrameShadow(QFrame::Sunken);
    QFont bmiFont = lblBmiRes->font();
    bmiFont.setPointSizeF(bmiFont.pointSizeF() * 2);
    bmiFont.setBold(true);
    lblBmiRes->setFont(bmiFont);
    lblBmiRes->setMinimumHeight(44);

    picDisp = Named(new LinePrintBox(central), QStringLiteral("picDisp"));
    picDisp->setToolTip(QStringLiteral("受信データが表示されます"));
    picDisp->setMinimumHeight(70);

    cmdConnect = Named(new QPushButton(central), QStringLiteral("cmdConnect"));
    cmdConnect->setIconSize(QSize(32, 32));
    cmdConnect->setFixedSize(44, 40);
    connect(cmdConnect, &QPushButton::clicked, m_link, &MeterLink::cmdConnect_Click);
    lblConnect = Named(new QLabel(central), QStringLiteral("lblConnect"));

    fmeBaseInput =
        Named(new QGroupBox(QStringLiteral("データ要求"), central), QStringLiteral("fmeBaseInput"));
    auto* requestRow = new QHBoxLayout(fmeBaseInput);
    const auto& table = CommandTable();
    for (int i = 0; i < 5; ++i) {
        cmdCommandSwitch[i] = Named(new QPushButton(table[i].ButtonCaption, fmeBaseInput),
                                    Indexed("cmdCommandSwitch", i));
        connect(cmdCommandSwitch[i], &QPushButton::clicked, this,
                [this, i] { m_link->SendCommand(i); });
        requestRow->addWidget(cmdCommandSwitch[i]);
    }

    // Layout: header on top, the record on the left, the values and the link on the right,
    // the request buttons at the bottom (hidden in manual mode).
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(QStringLiteral("No."), central));
    numberRow->addWidget(txtNumber);
    for (QPushButton* b : cmdNumber) numberRow->addWidget(b);
    numberRow->addStretch();

    auto* subLabels = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        subLabels->addWidget(lblSubLabel[i], i, 0);
        subLabels->addWidget(txtSubLabel[i], i, 1);
    }
    auto* writeRow = new QHBoxLayout;
    writeRow->addWidget(cmdInputData);
    writeRow->addWidget(cmdClearMain);

    auto* left = new QVBoxLayout;
    left->addLayout(numberRow);
    left->addLayout(subLabels);
    left->addLayout(writeRow);
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(cmdConnect);
    linkRow->addWidget(lblConnect);
    linkRow->addStretch();
    left->addStretch();
    left->addLayout(linkRow);

    auto* right = new QVBoxLayout;
    right->addWidget(lblSyDisp);
    right->addWidget(lblTzDisp);
    right->addWidget(lblZkDisp);
    right->addWidget(lblFatRatio);
    right->addWidget(lblBmiRes);
    right->addWidget(picDisp, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addLayout(right, 2);

    auto* headerRow = new QHBoxLayout;
    headerRow->addWidget(lblToday, 1);
    headerRow->addWidget(lblPerson, 1);

    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 6, 8, 6);
    outer->addWidget(lblTytle);
    outer->addLayout(headerRow);
    outer->addLayout(body, 1);
    outer->addWidget(fmeBaseInput);
}

void frmMain::BuildMenus() {
    auto addAction = [this](QMenu* menu, const QString& name, const QString& caption,
                            const QString& shortcut = QString()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
        return action;
    };
    auto addSeparator = [](QMenu* menu, const QString& name = QString()) {
        QAction* separator = menu->addSeparator();
        if (!name.isEmpty()) separator->setObjectName(name);
    };
    auto addMenu = [this](const QString& name, const QString& caption) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        return menu;
    };

    QMenu* file = addMenu(QStringLiteral("mnuFile"), QStringLiteral("ファイル(&F)"));
    connect(addAction(file, QStringLiteral("mnuNewData"), QStringLiteral("新規作成(&N)")),
            &QAction::triggered, this, &frmMain::mnuNewData_Click);
    addSeparator(file);
    connect(addAction(file, QStringLiteral("mnuSaveCsv"), QStringLiteral("CSV形式で保存する(&C)")),
            &QAction::triggered, this, &frmMain::mnuSaveCsv_Click);
    addSeparator(file);
    connect(addAction(file, QStringLiteral("mnuNameListLoad"),
                      QStringLiteral("名簿データを呼び出す(&L)")),
            &QAction::triggered, this, &frmMain::mnuNameListLoad_Click);
    addSeparator(file);
    connect(addAction(file, QStringLiteral("mnuPreview"), QStringLiteral("編集中データ一覧(&T)")),
            &QAction::triggered, this, &frmMain::mnuPreview_Click);
    addSeparator(file);
    connect(addAction(file, QStringLiteral("mnuFileExit"), QStringLiteral("終了(&X)")),
            &QAction::triggered, this, &frmMain::mnuFileExit_Click);

    QMenu* command = addMenu(QStringLiteral("mnuCommand"), QStringLiteral("コマンド(&C)"));
    connect(
        addAction(command, QStringLiteral("mnuInputSwtch"),
                  QStringLiteral("表示されているデータを保存する(&S)"), QStringLiteral("Ctrl+S")),
        &QAction::triggered, this, &frmMain::InputClick);
    connect(
        addAction(command, QStringLiteral("mnuClearSwitch"),
                  QStringLiteral("表示されているデータをクリアする(&C)"), QStringLiteral("Ctrl+D")),
        &QAction::triggered, this, &frmMain::ClearCurrent);
    addSeparator(command);
    const std::array<QString, 3> loadCaptions{QStringLiteral("前のナンバーへ戻る(&B)"),
                                              QStringLiteral("次のナンバーへ進む(&G)"),
                                              QStringLiteral("新しいナンバーへ進む(&N)")};
    const std::array<QString, 3> loadKeys{QStringLiteral("Ctrl+B"), QStringLiteral("Ctrl+G"),
                                          QStringLiteral("Ctrl+N")};
    for (int i = 0; i < 3; ++i)
        connect(addAction(command, Indexed("mnuLoadSwitch", i), loadCaptions[i], loadKeys[i]),
                &QAction::triggered, this, [this, i] { MoveNumber(i); });
    addSeparator(command);
    const auto& table = CommandTable();
    for (int i = 0; i < int(table.size()); ++i)
        connect(addAction(command, Indexed("mnuDataSwitch", i), table[i].MenuCaption,
                          table[i].Shortcut),
                &QAction::triggered, this, [this, i] { m_link->SendCommand(i); });

    QMenu* name = addMenu(QStringLiteral("mnuName"), QStringLiteral("名簿(&N)"));
    connect(addAction(name, QStringLiteral("mnuNewNameList"), QStringLiteral("名簿の新規作成(&L)")),
            &QAction::triggered, this, &frmMain::mnuNewNameList_Click);
    connect(addAction(name, QStringLiteral("mnuNameEdit"), QStringLiteral("名簿ﾃﾞｰﾀの編集(&E)")),
            &QAction::triggered, this, &frmMain::mnuNameEdit_Click);
    connect(addAction(name, QStringLiteral("mnuNameDel"), QStringLiteral("名簿データの消去(&D)")),
            &QAction::triggered, this, &frmMain::mnuNameDel_Click);

    QMenu* setting = addMenu(QStringLiteral("mnuSetting"), QStringLiteral("設定(&M)"));
    connect(addAction(setting, QStringLiteral("mnuUserSetting"), QStringLiteral("ユーザ設定(&U)")),
            &QAction::triggered, this, &frmMain::mnuUserSetting_Click);
    addSeparator(setting);
    connect(addAction(setting, QStringLiteral("mnuLabelSetting"), QStringLiteral("ラベル設定(&L)")),
            &QAction::triggered, this, &frmMain::mnuLabelSetting_Click);
    connect(addAction(setting, QStringLiteral("mnuCommSetting"), QStringLiteral("通信設定(&T)")),
            &QAction::triggered, this, &frmMain::mnuCommSetting_Click);

    QMenu* help = addMenu(QStringLiteral("mnuHelp"), QStringLiteral("ヘルプ(&H)"));
    connect(addAction(help, QStringLiteral("mnuHelpIndex"), QStringLiteral("Hakaronのヘルプ(&H)"),
                      QStringLiteral("F1")),
            &QAction::triggered, this, &frmMain::mnuHelpIndex_Click);
    addSeparator(help, QStringLiteral("mnuBarHelp1"));
    QAction* homePage =
        addAction(help, QStringLiteral("mnuGoHomePage"), QStringLiteral("ZQMホームページへ(&P)"));
    connect(homePage, &QAction::triggered, this, &frmMain::mnuGoHomePage_Click);
    // A build without a configured page has nowhere to go.
    homePage->setEnabled(!ConfiguredProductInfo().ProductPage.isEmpty());
    addSeparator(help, QStringLiteral("mnuBarHelp2"));
    connect(addAction(help, QStringLiteral("mnuVersion"), QStringLiteral("バージョン情報(&V)")),
            &QAction::triggered, this, &frmMain::mnuVersion_Click);
}

bool frmMain::Form_Load() {
    if (!m_platform.Lock->TryAcquire()) {
        m_platform.Dialog->Message(MainTexts::AlreadyRunning, MsgIcon::Warning);
        return false;
    }
    G_Param.SetFolders(m_platform.AppFolder);
    ReadSettings();
    EnsureRecordFile();
    LoadHeader(false);
    m_link->OpenAtStartup();
    ApplyModeLayout();
    m_link->SetClearPending();
    txtNumber->setText(QString::number(G_Param.CurrentIndex + 1));
    RefreshDisplay();
    return true;
}

// A record file that has fewer than three records (never written since it was created)
// gets blank records up to No. 1, so that No. 1 exists; header records already there stay.
void frmMain::EnsureRecordFile() {
    const QString path = G_Param.RecordFilePath();
    if (!QDir(G_Param.WorkFolder).exists()) return;
    if (RecordFile::Count(path) >= G_Const::HeaderRecords + 1) return;
    WriteSucceeded(RecordFile::Write(path, G_Const::HeaderRecords + 1, MeasureRecord{}));
}

// Reads the header records into G_Param and shows the captions of the sub-labels. The date
// keeps its padding for display; start-up keeps only its text.
void frmMain::LoadHeader(bool paddedDate) {
    ReadRecordToBuffer(1);
    const MeasureRecord header = G_Param.RecordBuffer;
    G_Param.Title = header.SubLabel1.Trimmed();
    G_Param.MeasureDate = paddedDate ? header.SubLabel2.Value() : header.SubLabel2.Trimmed();
    G_Param.Person = header.SubLabel3.Trimmed();

    ReadRecordToBuffer(2);
    const MeasureRecord captions = G_Param.RecordBuffer;
    G_Param.SubLabelCaption1 = captions.SubLabel1.Trimmed();
    G_Param.SubLabelCaption2 = captions.SubLabel2.Trimmed();
    G_Param.SubLabelCaption3 = captions.SubLabel3.Trimmed();
    lblSubLabel[0]->setText(mdlDataLoadFunc::SubLabelCaption(captions.SubLabel1, 1));
    lblSubLabel[1]->setText(mdlDataLoadFunc::SubLabelCaption(captions.SubLabel2, 2));
    lblSubLabel[2]->setText(mdlDataLoadFunc::SubLabelCaption(captions.SubLabel3, 3));
}

void frmMain::RefreshDisplay() {
    LoadHeader(true);
    lblTytle->setText(MainTexts::TitleCaption + G_Param.Title.Value());
    lblToday->setText(MainTexts::DateCaption + G_Param.MeasureDate);
    lblPerson->setText(MainTexts::PersonCaption + G_Param.Person.Value());

    setWindowTitle(mdlDataLoadFunc::WindowTitle(G_Param.Title.Trimmed(), G_Param.AutoWriteOn != 0));

    const bool exists = ReadRecordToBuffer(G_Param.CurrentIndex + 3);
    const MeasureRecord record = G_Param.RecordBuffer;
    txtNumber->setText(QString::number(G_Param.CurrentIndex + 1));
    txtSubLabel[0]->setText(record.SubLabel1.Trimmed());
    txtSubLabel[1]->setText(record.SubLabel2.Trimmed());
    txtSubLabel[2]->setText(record.SubLabel3.Trimmed());
    MeasureValues values = record.Values;
    for (Text10* field : {&values.SittingHeight, &values.Height, &values.Bmi, &values.Weight}) {
        QString text = field->Trimmed();
        EnsureDecimal(text);
        *field = text;
    }
    G_Param.CurrentValues = values;

    picDisp->Cls();
    const auto labels = mdlDataLoadFunc::BuildValueLabels(values);
    if (!exists) {
        picDisp->Print(MainTexts::NoValue);
    } else {
        lblSyDisp->setText(labels.Height);
        lblTzDisp->setText(labels.Weight);
        lblZkDisp->setText(labels.SittingHeight);
        lblFatRatio->setText(labels.FatRatio);
        lblBmiRes->setText(labels.BmiResult);
    }
    if (!exists || !labels.AnyValue) picDisp->Print(MainTexts::NoValue);
}

void frmMain::ApplyModeLayout() {
    const bool commandMode = G_Param.OperationMode != 0;
    fmeBaseInput->setVisible(commandMode);
    for (QPushButton* b : cmdCommandSwitch) b->setVisible(commandMode);
    const int heightTwips = commandMode ? kCommandModeHeightTwips : kManualModeHeightTwips;
    setFixedSize(TwipsToPixels(kWindowWidthTwips), TwipsToPixels(heightTwips));
}

void frmMain::PrintLine(const QString& line) {
    picDisp->Print(line);
}

void frmMain::ClearPrint() {
    picDisp->Cls();
}

void frmMain::ShowBmiResult(const QString& text) {
    lblBmiRes->setText(text);
}

void frmMain::ArmAutoWrite(int ms, bool afterValue) {
    if (afterValue) m_autoWriteHasValue = true;
    AwTimer->setInterval(ms);
    AwTimer->start();
}

void frmMain::StopAutoWrite() {
    AwTimer->stop();
    m_autoWriteHasValue = false;
}

// A name being typed is never split across two records: typing restarts the delay.
void frmMain::RestartAutoWriteDelay() {
    if (AwTimer->isActive()) AwTimer->start();
}

bool frmMain::WriteSucceeded(const FileResult& result) {
    if (!result) m_platform.Dialog->Message(result.Message(), MsgIcon::Warning);
    return result;
}

bool frmMain::WriteCurrent() {
    MeasureRecord& buffer = G_Param.RecordBuffer;
    buffer.SubLabel1 = txtSubLabel[0]->text();
    buffer.SubLabel2 = txtSubLabel[1]->text();
    buffer.SubLabel3 = txtSubLabel[2]->text();
    buffer.Values = G_Param.CurrentValues;
    return WriteSucceeded(WriteBufferAsRecord(G_Param.CurrentIndex + 3));
}

void frmMain::InputClick() {
    StopAutoWrite();
    // A failed write keeps the number and the values on display, ready to be written again.
    if (!WriteCurrent()) return;
    int next = G_Param.CurrentIndex + 1;
    if (G_Param.CurrentIndex == G_Const::MaxNumber - 1) {
        m_platform.Dialog->Message(MainTexts::BackToFirst, MsgIcon::Information);
        next = 0;
    }
    G_Param.CurrentIndex = int16_t(next);
    txtNumber->setText(QString::number(next + 1));
    // The beep tells the operator to bring the next person: not when the next number could
    // not be made (the user has been told why).
    if (G_Param.CurrentIndex == next) m_platform.Beep->Beep();
}

void frmMain::txtNumber_Change() {
    const int n = RecordCount();
    const QString text = txtNumber->text();
    if (text.isEmpty()) return;
    const auto number = RecordNumbering::TypedNumber(text);
    if (!number) {
        m_platform.Dialog->Message(MainTexts::OutOfRange, MsgIcon::Warning);
        txtNumber->clear();
        return;
    }
    const int before = G_Param.CurrentIndex;
    G_Param.CurrentIndex = int16_t(*number - 1);
    if (G_Param.CurrentIndex != before) StopAutoWrite();
    if (G_Param.CurrentIndex >= n - 2) {
        // The number lies beyond the last record: select one new blank record right after it.
        ClearParams();
        const int position = RecordNumbering::NewRecordPosition(n);
        if (WriteSucceeded(WriteBufferAsRecord(position))) {
            G_Param.CurrentIndex = int16_t(position - 3);
        } else {
            // No new record: stay on a number that exists.
            G_Param.CurrentIndex = int16_t(std::clamp(before, 0, std::max(n - 3, 0)));
        }
        txtNumber->setText(QString::number(G_Param.CurrentIndex + 1));
    }
    RefreshDisplay();
}

void frmMain::MoveNumber(int mode) {
    StopAutoWrite();
    const int n = RecordCount();
    if (mode == 0) {
        G_Param.CurrentIndex = int16_t(RecordNumbering::PreviousIndex(G_Param.CurrentIndex, n));
    } else if (mode == 1) {
        G_Param.CurrentIndex = int16_t(RecordNumbering::NextIndex(G_Param.CurrentIndex, n));
    } else if (RecordNumbering::CanCreateNew(n)) {
        const int position = RecordNumbering::NewRecordPosition(n);
        // Blanked only once the new record exists: a failure leaves the display as it was.
        if (WriteSucceeded(RecordFile::Write(G_Param.RecordFilePath(), position, {}))) {
            ClearParams();
            G_Param.CurrentIndex = int16_t(position - 3);
        }
    } else {
        m_platform.Dialog->Message(MainTexts::NoMoreRecords, MsgIcon::Warning);
    }
    txtNumber->setText(QString::number(G_Param.CurrentIndex + 1));
}

void frmMain::ClearCurrent() {
    StopAutoWrite();
    // Written first: a failed clear leaves the display as it was.
    if (!WriteSucceeded(
            RecordFile::Write(G_Param.RecordFilePath(), G_Param.CurrentIndex + 3, MeasureRecord{})))
        return;
    for (QLineEdit* box : txtSubLabel) box->clear();
    ClearParams();
    picDisp->Cls();
    m_platform.Dialog->Message(QStringLiteral("No.%1を消去しました").arg(G_Param.CurrentIndex + 1),
                               MsgIcon::Information);
    RefreshDisplay();
}

void frmMain::NewMeasurementSet() {
    if (!m_platform.Dialog->AskYesNo(MainTexts::AskDiscardAll)) return;
    if (!m_platform.Dialog->AskYesNo(MainTexts::AskReally)) return;
    StopAutoWrite();
    // The new set is built beside the old file and renamed over it, so a failure leaves
    // the old set intact.
    const QList<MeasureRecord> blank(G_Const::HeaderRecords + 1, MeasureRecord{});
    if (!WriteSucceeded(RecordFile::Replace(G_Param.RecordFilePath(), blank))) return;
    ClearParams();
    G_Param.CurrentIndex = 0;
    RefreshDisplay();
    m_platform.Dialog->Message(MainTexts::NewFileDone, MsgIcon::Information);
}

void frmMain::AwTimer_Timer() {
    AwTimer->stop();
    // Status frames alone ("UL", "OV", "HD") carry nothing to write: a blank record here
    // would move every later reading onto the wrong person of a name list.
    if (!m_autoWriteHasValue) return;
    // After a restart the program shows No. 1 again: a stored person is never overwritten
    // without asking. No keeps the record and the values on display.
    const MeasureRecord stored =
        RecordFile::Read(G_Param.RecordFilePath(), G_Param.CurrentIndex + 3).Record;
    if (stored.Values.AnyMeasured() &&
        !m_platform.Dialog->AskYesNo(MainTexts::AskOverwrite(G_Param.CurrentIndex + 1)))
        return;
    InputClick();
}

void frmMain::mnuNewData_Click() {
    RunWithLinkSuspended(*m_link, [this] { NewMeasurementSet(); });
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::mnuSaveCsv_Click() {
    RunWithLinkSuspended(*m_link,
                         [this] { RunCsvSaveCommand(*m_platform.Dialog, *m_platform.Time, this); });
}

void frmMain::mnuPreview_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        QCoreApplication::processEvents();
        frmPreview dialog(*this, this);
        dialog.exec();
    });
}

void frmMain::mnuUserSetting_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        frmUserSet dialog(*m_platform.Dialog, *this, this);
        dialog.exec();
    });
}

void frmMain::mnuLabelSetting_Click() {
    RunWithLinkSuspended(*m_link, [this] { ShowLabelSettings(); });
}

void frmMain::mnuCommSetting_Click() {
    m_link->SetLinkOnline(false);
    {
        frmComSet dialog(*m_platform.Port, *m_platform.Inventory, *m_platform.Dialog, this);
        dialog.exec();
    }
    m_link->ReopenAfterSettings();
}

void frmMain::mnuNameListLoad_Click() {
    // A reading waiting to be written would otherwise land on No. 1 of the loaded list.
    StopAutoWrite();
    RunWithLinkSuspended(*m_link, [this] {
        NameListCommands::ChooseNameList(NameCallPurpose::Load, *m_platform.Dialog, *this, this);
    });
}

void frmMain::mnuNewNameList_Click() {
    RunWithLinkSuspended(*m_link,
                         [this] { NameListCommands::NewNameList(*m_platform.Dialog, this); });
}

// Editing and deleting share the chooser: either button may be used from both items.
void frmMain::mnuNameEdit_Click() {
    StopAutoWrite();  // the chooser loads lists from here too
    RunWithLinkSuspended(*m_link, [this] {
        NameListCommands::ChooseNameList(NameCallPurpose::Edit, *m_platform.Dialog, *this, this);
    });
}

void frmMain::mnuNameDel_Click() {
    mnuNameEdit_Click();
}

void frmMain::mnuHelpIndex_Click() {
    if (!m_help) m_help = new frmHelp(*m_platform.Desktop, this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void frmMain::mnuGoHomePage_Click() {
    OpenWithShell(*m_platform.Desktop, ConfiguredProductInfo().ProductPage);
}

void frmMain::mnuVersion_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        frmAbout dialog(ConfiguredProductInfo(), this);
        dialog.exec();
    });
}

void frmMain::OpenLabelSettingsDirect() {
    ShowLabelSettings();
}

void frmMain::ShowLabelSettings() {
    frmLabelSet dialog(*m_platform.Dialog, *m_platform.Time, *this, this);
    dialog.exec();
}

void frmMain::UpdateConnectLook() {
    cmdConnect->setIcon(imlLogo::Picture(m_link->ConnectPicture()));
    lblConnect->setText(m_link->ConnectCaption());
}

void frmMain::Form_Unload() {
    AwTimer->stop();
    if (m_platform.Port->PortOpen()) m_platform.Port->SetPortOpen(false);
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    // Nothing else is asked or closed: the program ends here.
    QCoreApplication::exit(0);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu's keys (Ctrl+S, Ctrl+Z, Ctrl+A, ...) win over the text boxes' own editing
        // keys: the operator requests and writes while typing a name.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : findChildren<QAction*>())
            if (action->isEnabled() && !action->shortcut().isEmpty() &&
                action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
    }
    if (event->type() == QEvent::FocusIn && watched != txtNumber) {
        // Entering a sub-label box selects its whole text, ready to be typed over.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QMainWindow::eventFilter(watched, event);
}
