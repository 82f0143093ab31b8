#include "frmMain.h"

// The main window's controls, menus and layout; what they do is in frmMain.cpp.
#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

#include "ClickLabel.h"
#include "Commands.h"
#include "CutPreview.h"
#include "G_Param.h"
#include "LinePrintBox.h"
#include "MainTexts.h"
#include "MeterLink.h"
#include "Named.h"
#include "ProductInfo.h"

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
    cmdNextUnmeasured = Named(new QPushButton(QStringLiteral("未測定へ"), central),
                              QStringLiteral("cmdNextUnmeasured"));
    cmdNextUnmeasured->setToolTip(QStringLiteral("未測定のナンバーへ進みます"));
    connect(cmdNextUnmeasured, &QPushButton::clicked, this, &frmMain::GoToNextUnmeasured);

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
        connect(txtSubLabel[i], &QLineEdit::textEdited, this, &frmMain::SubLabelEdited);
        connect(txtSubLabel[i], &QLineEdit::editingFinished, this, &frmMain::SubLabelDone);
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

    fraNotice = Named(new QFrame(central), QStringLiteral("fraNotice"));
    fraNotice->setFrameShape(QFrame::StyledPanel);
    fraNotice->setStyleSheet(QStringLiteral("#fraNotice { background: #fff4c2; }"));
    lblNotice = Named(new QLabel(fraNotice), QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);
    cmdCloseNotice = Named(new QPushButton(QStringLiteral("閉じる"), fraNotice),
                           QStringLiteral("cmdCloseNotice"));
    connect(cmdCloseNotice, &QPushButton::clicked, fraNotice, &QWidget::hide);
    auto* noticeRow = new QHBoxLayout(fraNotice);
    noticeRow->setContentsMargins(6, 2, 6, 2);
    noticeRow->addWidget(lblNotice, 1);
    noticeRow->addWidget(cmdCloseNotice);
    fraNotice->hide();

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
    numberRow->addWidget(cmdNextUnmeasured);
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
    outer->addWidget(fraNotice);
    outer->addLayout(body, 1);
    outer->addWidget(fmeBaseInput);

    // The pending automatic write on a line of its own, the width of the window (wrapped,
    // never cut); below it how far the day has come and the link's news.
    lblPending = Named(new QLabel(this), QStringLiteral("lblPending"));
    lblPending->setWordWrap(true);
    lblProgress = Named(new QLabel(this), QStringLiteral("lblProgress"));
    lblLinkStatus = Named(new QLabel(this), QStringLiteral("lblLinkStatus"));
    lblLinkStatus->setAlignment(Qt::AlignRight);
    auto* lines = new QWidget(this);
    auto* column = new QVBoxLayout(lines);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(lblPending);
    auto* dayAndLink = new QHBoxLayout;
    dayAndLink->addWidget(lblProgress, 1);
    dayAndLink->addWidget(lblLinkStatus);
    column->addLayout(dayAndLink);
    statusBar()->addWidget(lines, 1);
    statusBar()->setSizeGripEnabled(false);
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
    connect(addAction(file, QStringLiteral("mnuJournal"), QStringLiteral("受信履歴(&J)")),
            &QAction::triggered, this, &frmMain::mnuJournal_Click);
    connect(addAction(file, QStringLiteral("mnuSummary"), QStringLiteral("集計・肥満度判定(&R)")),
            &QAction::triggered, this, &frmMain::mnuSummary_Click);
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
    connect(addAction(command, QStringLiteral("mnuNextUnmeasured"),
                      QStringLiteral("未測定のナンバーへ進む(&U)"), QStringLiteral("Ctrl+U")),
            &QAction::triggered, this, &frmMain::GoToNextUnmeasured);
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

void frmMain::ApplyModeLayout() {
    const bool commandMode = G_Param.OperationMode != 0;
    fmeBaseInput->setVisible(commandMode);
    for (QPushButton* b : cmdCommandSwitch) b->setVisible(commandMode);
    const int heightTwips = commandMode ? kCommandModeHeightTwips : kManualModeHeightTwips;
    setFixedSize(TwipsToPixels(kWindowWidthTwips), TwipsToPixels(heightTwips));
}

// One line per sentence would not fit above the values: the sentences run on.
void frmMain::ShowLinkNotice(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("。\r\n"), QStringLiteral("。")).replace(u"\r\n"_qs, u"　"_qs);
    if (fraNotice->isVisibleTo(this) && lblNotice->text() == shown) return;
    lblNotice->setText(shown);
    fraNotice->show();
}

void frmMain::LinkBack() {
    fraNotice->hide();
}
