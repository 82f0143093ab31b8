#include "frmStart.h"

#include <QLabel>
#include <QVBoxLayout>

#include "G_Const.h"

frmStart::frmStart(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), lblVersion(new QLabel(this)) {
    setObjectName(QStringLiteral("frmStart"));
    setFixedSize(360, 200);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(20, 80, 150));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    auto* picture = new QLabel(G_Const::ProductName, this);
    picture->setObjectName(QStringLiteral("picLogo"));
    QFont big = picture->font();
    big.setPointSize(28);
    big.setBold(true);
    picture->setFont(big);
    picture->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel(QStringLiteral("身長体重計データ収集"), this);
    subtitle->setAlignment(Qt::AlignCenter);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setText(G_Const::Version);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(picture);
    layout->addWidget(subtitle);
    layout->addStretch();
    layout->addWidget(lblVersion);
}
