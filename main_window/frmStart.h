#pragma once

#include <QWidget>

class QLabel;

// The splash window shown while the main window loads.
class frmStart : public QWidget {
    Q_OBJECT
public:
    explicit frmStart(QWidget* parent = nullptr);
    QLabel* lblVersion;
};
