#include "frmLabelSet.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "CutPreview.h"
#include "Dialogs.h"
#include "FileResult.h"
#include "FixedText.h"
#include "G_Param.h"
#include "MainWindowHooks.h"
#include "Named.h"
#include "Services.h"
#include "SettingsTexts.h"
#include "mdlPublicWriteFunc.h"

namespace {

const QString kNowDatePrefix = QStringLiteral("現在の日付: ");

// A frame holding one labelled text box.
QGroupBox* LabelledBoxFrame(QGroupBox* frame, QLabel* label, QLineEdit* box) {
    auto* layout = new QHBoxLayout(frame);
    layout->addWidget(label);
    layout->addWidget(box, 1);
    label->setBuddy(box);
    return frame;
}

}  // namespace

QString FormatMeasureDate(const QDate& date) {
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

frmLabelSet::frmLabelSet(Dialogs& dialogs, const Clock& clock, DisplayControl& display,
                         QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_clock(clock), m_display(display) {
    setObjectName(QStringLiteral("frmLabelSet"));
    setWindowTitle(QStringLiteral("各入力ラベル設定"));

    SSTab1 = Named(new QTabWidget(this), QStringLiteral("SSTab1"));
    tabMainLabel = Named(new QWidget(SSTab1), QStringLiteral("tabMainLabel"));
    tabSubLabel = Named(new QWidget(SSTab1), QStringLiteral("tabSubLabel"));
    SSTab1->addTab(tabMainLabel, QStringLiteral("メインラベルの設定"));
    SSTab1->addTab(tabSubLabel, QStringLiteral("項目ラベルの設定"));

    // Main label tab: title, person in charge, date.
    fraTytle =
        Named(new QGroupBox(QStringLiteral("タイトル"), tabMainLabel), QStringLiteral("fraTytle"));
    lblTytle =
        Named(new QLabel(QStringLiteral("メインタイトル"), fraTytle), QStringLiteral("lblTytle"));
    txtTytle = NewTextBox(QStringLiteral("txtTytle"), fraTytle);
    LabelledBoxFrame(fraTytle, lblTytle, txtTytle);

    fraPerson =
        Named(new QGroupBox(QStringLiteral("担当者"), tabMainLabel), QStringLiteral("fraPerson"));
    lblPerson =
        Named(new QLabel(QStringLiteral("担当者氏名"), fraPerson), QStringLiteral("lblPerson"));
    txtPerson = NewTextBox(QStringLiteral("txtPerson"), fraPerson);
    LabelledBoxFrame(fraPerson, lblPerson, txtPerson);

    fraDate = Named(new QGroupBox(tabMainLabel), QStringLiteral("fraDate"));
    cmdToday = Named(new QPushButton(QStringLiteral("今日の日付に更新"), fraDate),
                     QStringLiteral("cmdToday"));
    lblNowDateLabel =
        Named(new QLabel(QStringLiteral("現在の日付"), fraDate), QStringLiteral("lblNowDateLabel"));
    auto* dateLayout = new QHBoxLayout(fraDate);
    dateLayout->addWidget(cmdToday);
    dateLayout->addWidget(lblNowDateLabel, 1);

    // The two title labels line up: same width for both captions.
    const int captionWidth = std::max(lblTytle->sizeHint().width(), lblPerson->sizeHint().width());
    lblTytle->setMinimumWidth(captionWidth);
    lblPerson->setMinimumWidth(captionWidth);

    auto* mainLayout = new QVBoxLayout(tabMainLabel);
    mainLayout->addWidget(fraTytle);
    mainLayout->addWidget(fraPerson);
    mainLayout->addWidget(fraDate);
    mainLayout->addStretch(1);

    // Sub-label tab: the three captions.
    const QStringList frameCaptions{QStringLiteral("項目ラベル1"), QStringLiteral("項目ラベル２"),
                                    QStringLiteral("項目ラベル３")};
    const QStringList labelCaptions{QStringLiteral("項目1"), QStringLiteral("項目２"),
                                    QStringLiteral("項目３")};
    QGroupBox** frames[] = {&fraSubTytle_0, &fraSubTytle_1, &fraSubTytle_2};
    QLabel** labels[] = {&lblSubTytle_0, &lblSubTytle_1, &lblSubTytle_2};
    QLineEdit** boxes[] = {&txtSubTytle_0, &txtSubTytle_1, &txtSubTytle_2};
    auto* subLayout = new QVBoxLayout(tabSubLabel);
    for (int i = 0; i < 3; ++i) {
        const QString index = QString::number(i);
        *frames[i] = Named(new QGroupBox(frameCaptions.at(i), tabSubLabel),
                           QStringLiteral("fraSubTytle_") + index);
        *labels[i] = Named(new QLabel(labelCaptions.at(i), *frames[i]),
                           QStringLiteral("lblSubTytle_") + index);
        *boxes[i] = NewTextBox(QStringLiteral("txtSubTytle_") + index, *frames[i]);
        LabelledBoxFrame(*frames[i], *labels[i], *boxes[i]);
        subLayout->addWidget(*frames[i]);
    }
    subLayout->addStretch(1);

    cmdOkLabel = Named(new QPushButton(QStringLiteral("保存"), this), QStringLiteral("cmdOkLabel"));
    cmdCancelLabel = Named(new QPushButton(QStringLiteral("キャンセル"), this),
                           QStringLiteral("cmdCancelLabel"));
    lblInstruction = Named(new QLabel(QStringLiteral("各タイトルラベルを入力して下さい。"), this),
                           QStringLiteral("lblInstruction"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblInstruction, 1);
    bottom->addWidget(cmdOkLabel);
    bottom->addWidget(cmdCancelLabel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(bottom);
    setMinimumWidth(440);

    // Enter in a text box saves; it never takes today's date behind the user's back.
    cmdToday->setAutoDefault(false);
    cmdOkLabel->setDefault(true);
    connect(cmdToday, &QPushButton::clicked, this, &frmLabelSet::cmdToday_Click);
    connect(cmdOkLabel, &QPushButton::clicked, this, &frmLabelSet::cmdOkLabel_Click);
    connect(cmdCancelLabel, &QPushButton::clicked, this, &frmLabelSet::cmdCancelLabel_Click);
    for (QLineEdit* box : {txtTytle, txtPerson, txtSubTytle_0, txtSubTytle_1, txtSubTytle_2})
        connect(box, &QLineEdit::textChanged, this, &frmLabelSet::Text_Change);

    Form_Load();
}

QLineEdit* frmLabelSet::NewTextBox(const QString& name, QWidget* parent) {
    auto* box = Named(new QLineEdit(parent), name);
    box->installEventFilter(this);
    // Every box fills a 20-byte field of the record file.
    CutPreview::Attach(box, Text20::Length);
    return box;
}

bool frmLabelSet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            // After the focus event: a click that gave the focus would otherwise undo it.
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmLabelSet::Form_Load() {
    ReadRecordToBuffer(1);
    const MeasureRecord header = G_Param.RecordBuffer;
    txtTytle->setText(header.SubLabel1.Trimmed());
    G_Param.Title = header.SubLabel1.Trimmed();
    G_Param.MeasureDate = header.SubLabel2.Trimmed();
    m_pendingDate = G_Param.MeasureDate;
    lblNowDateLabel->setText(kNowDatePrefix + m_pendingDate);
    txtPerson->setText(header.SubLabel3.Trimmed());
    G_Param.Person = header.SubLabel3.Trimmed();

    ReadRecordToBuffer(2);
    const MeasureRecord captions = G_Param.RecordBuffer;
    txtSubTytle_0->setText(captions.SubLabel1.Trimmed());
    txtSubTytle_1->setText(captions.SubLabel2.Trimmed());
    txtSubTytle_2->setText(captions.SubLabel3.Trimmed());
    m_dirty = 0;
}

void frmLabelSet::Text_Change() {
    m_dirty = 1;
}

void frmLabelSet::cmdToday_Click() {
    m_pendingDate = FormatMeasureDate(m_clock.Today());
    lblNowDateLabel->setText(kNowDatePrefix + TrimSpaces(m_pendingDate));
}

void frmLabelSet::SaveLabels() {
    G_Param.Title = TrimSpaces(txtTytle->text());
    G_Param.MeasureDate = m_pendingDate;
    G_Param.Person = TrimSpaces(txtPerson->text());
    G_Param.SubLabelCaption1 = TrimSpaces(txtSubTytle_0->text());
    G_Param.SubLabelCaption2 = TrimSpaces(txtSubTytle_1->text());
    G_Param.SubLabelCaption3 = TrimSpaces(txtSubTytle_2->text());
    if (const FileResult result = WriteHeader(); !result)
        m_dialogs.Message(result.Message(), MsgIcon::Warning);
    m_display.RefreshDisplay();
}

void frmLabelSet::cmdOkLabel_Click() {
    m_dirty = 0;
    SaveLabels();
    accept();
}

void frmLabelSet::cmdCancelLabel_Click() {
    m_dirty = 0;
    reject();
}

void frmLabelSet::done(int result) {
    if (m_closing) return;
    m_closing = true;
    // A date taken with the today button and not saved counts as a change.
    if (TrimSpaces(G_Param.MeasureDate) != m_pendingDate) m_dirty = 1;
    if (m_dirty == 1) {
        m_dirty = 0;
        if (m_dialogs.AskYesNo(SettingsTexts::UnsavedQuestion())) SaveLabels();
    }
    m_display.RefreshDisplay();
    QDialog::done(result);
    m_closing = false;
}
