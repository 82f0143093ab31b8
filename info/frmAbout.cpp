#include "frmAbout.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "G_Const.h"
#include "Named.h"
#include "ProgramLook.h"

namespace {
constexpr int kIconSize = 64;

// A configured line: shown with its text, or hidden when nothing was configured.
void ShowLine(QLabel* label, const QString& value, const QString& prefix = QString()) {
    label->setText(prefix + value);
    label->setVisible(!value.trimmed().isEmpty());
}
}  // namespace

frmAbout::frmAbout(const ProductInfo& info, QWidget* parent) : QDialog(parent), m_info(info) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));

    picIcon = Named(new QLabel(this), QStringLiteral("picIcon"));
    picIcon->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize));
    picIcon->setFixedSize(kIconSize, kIconSize);
    lblTytle = TextLabel(QStringLiteral("lblTytle"));
    QFont titleFont = lblTytle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTytle->setFont(titleFont);
    lblVersion = TextLabel(QStringLiteral("lblVersion"));
    lblDescription = TextLabel(QStringLiteral("lblDescription"));
    Label1 = TextLabel(QStringLiteral("Label1"));
    for (int i = 0; i < 2; ++i) lblAddress[i] = TextLabel(QStringLiteral("lblAddress_%1").arg(i));
    lblDisclaimer = TextLabel(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    cmdOK = Named(new QPushButton(QStringLiteral("閉じる"), this), QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTytle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    texts->addWidget(Label1);
    texts->addWidget(lblAddress[0]);
    texts->addWidget(lblAddress[1]);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addWidget(lblDisclaimer);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    Form_Load();
}

QLabel* frmAbout::TextLabel(const QString& name) {
    auto* label = Named(new QLabel(this), name);
    // Addresses are copied by hand into a mail program or a browser.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void frmAbout::Form_Load() {
    lblTytle->setText(G_Const::ProductName + QStringLiteral("  ") + G_Const::ForSystem);
    lblVersion->setText(QStringLiteral("このソフトのバージョンは  ") + G_Const::Version +
                        QStringLiteral("です"));
    ShowLine(lblAddress[0], m_info.SupportMail, QStringLiteral(" e-mail： "));
    ShowLine(lblAddress[1], m_info.WebSite, QStringLiteral("Website： "));
    ShowLine(Label1, m_info.MakerAddress);
    ShowLine(lblDescription, m_info.MakerName);
    ShowLine(lblDisclaimer, m_info.Disclaimer);
}

void frmAbout::cmdOK_Click() {
    accept();
}
