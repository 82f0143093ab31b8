#include "frmLetters.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Named.h"
#include "SummaryReport.h"

frmLetters::frmLetters(const ClassSummary& summary, const QString& text, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmLetters"));
    setWindowTitle(QStringLiteral("お知らせを作成"));
    lstPupils = Named(new QListWidget(this), QStringLiteral("lstPupils"));
    txtLetter = Named(new QPlainTextEdit(text, this), QStringLiteral("txtLetter"));
    cmdDefaultText = Named(new QPushButton(QStringLiteral("最初の文に戻す"), this),
                           QStringLiteral("cmdDefaultText"));
    cmdSave = Named(new QPushButton(QStringLiteral("PDFに保存"), this), QStringLiteral("cmdSave"));
    cmdCancel =
        Named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("cmdCancel"));
    const QList<int> chosen = DefaultLetterPupils(summary);
    for (const Pupil& p : summary.Pupils) {
        if (!p.Measured()) continue;
        QStringList who{QStringLiteral("No.%1").arg(p.Number)};
        for (const QString& item : p.Items)
            if (!item.isEmpty()) who << item;
        who << (p.Result.Judged ? p.Result.ObesityText() + QStringLiteral("% ") : QString()) +
                   p.Result.Label();
        auto* row = new QListWidgetItem(who.join(QStringLiteral("　")), lstPupils);
        row->setData(Qt::UserRole, p.Number);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(chosen.contains(p.Number) ? Qt::Checked : Qt::Unchecked);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDefaultText);
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("お知らせを渡す児童生徒（1人1ページ）"), this));
    layout->addWidget(lstPupils, 2);
    layout->addWidget(new QLabel(QStringLiteral("お知らせの文（次回も使います）"), this));
    layout->addWidget(txtLetter, 1);
    layout->addLayout(buttons);
    cmdSave->setDefault(true);
    connect(cmdDefaultText, &QPushButton::clicked, this, &frmLetters::cmdDefaultText_Click);
    connect(cmdSave, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(640, 600);
}

QList<int> frmLetters::Chosen() const {
    QList<int> numbers;
    for (int i = 0; i < lstPupils->count(); ++i)
        if (lstPupils->item(i)->checkState() == Qt::Checked)
            numbers << lstPupils->item(i)->data(Qt::UserRole).toInt();
    return numbers;
}

QString frmLetters::Text() const {
    return txtLetter->toPlainText();
}

void frmLetters::cmdDefaultText_Click() {
    txtLetter->setPlainText(DefaultLetterText());
}
