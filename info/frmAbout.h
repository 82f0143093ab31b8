#pragma once

#include <QDialog>
#include <array>

#include "ProductInfo.h"

class QLabel;
class QPushButton;

// "バージョン情報": the program's name, version and distributor. Lines whose configured
// value is empty are hidden.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const ProductInfo& info, QWidget* parent = nullptr);

    QLabel* picIcon = nullptr;
    QLabel* lblTytle = nullptr;
    QLabel* lblVersion = nullptr;
    std::array<QLabel*, 2> lblAddress{};
    QLabel* Label1 = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;

public slots:
    void cmdOK_Click();

private:
    void Form_Load();
    QLabel* TextLabel(const QString& name);

    ProductInfo m_info;
};
