#include "frmHelp.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "Named.h"
#include "OpenWithShell.h"

namespace {
constexpr int kWidth = 820;
constexpr int kHeight = 640;
}  // namespace

frmHelp::frmHelp(Shell& shell, QWidget* parent) : QWidget(parent, Qt::Window), m_shell(shell) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Hakaronのヘルプ"));

    cmdContents =
        Named(new QPushButton(QStringLiteral("目次(&C)"), this), QStringLiteral("cmdContents"));
    cmdBack = Named(new QPushButton(QStringLiteral("戻る(&B)"), this), QStringLiteral("cmdBack"));
    cmdForward =
        Named(new QPushButton(QStringLiteral("進む(&F)"), this), QStringLiteral("cmdForward"));
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    txtHelp = Named(new QTextBrowser(this), QStringLiteral("txtHelp"));
    // Every link passes through txtHelp_AnchorClicked, which decides between the manual and
    // the desktop shell.
    txtHelp->setOpenLinks(false);
    txtHelp->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(txtHelp, 1);
    resize(kWidth, kHeight);

    connect(cmdContents, &QPushButton::clicked, this, &frmHelp::cmdContents_Click);
    connect(cmdBack, &QPushButton::clicked, txtHelp, &QTextBrowser::backward);
    connect(cmdForward, &QPushButton::clicked, txtHelp, &QTextBrowser::forward);
    connect(txtHelp, &QTextBrowser::backwardAvailable, cmdBack, &QPushButton::setEnabled);
    connect(txtHelp, &QTextBrowser::forwardAvailable, cmdForward, &QPushButton::setEnabled);
    connect(txtHelp, &QTextBrowser::anchorClicked, this, &frmHelp::txtHelp_AnchorClicked);
    txtHelp->setSource(ContentsUrl());
}

QUrl frmHelp::ContentsUrl() {
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

void frmHelp::cmdContents_Click() {
    txtHelp->setSource(ContentsUrl());
}

void frmHelp::txtHelp_AnchorClicked(const QUrl& link) {
    const QUrl target = txtHelp->source().resolved(link);
    if (target.scheme() == QStringLiteral("qrc")) {
        txtHelp->setSource(target);
        return;
    }
    OpenWithShell(m_shell, target.toString());
}
