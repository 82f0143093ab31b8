#pragma once

#include <QDialog>
#include <QList>

#include "ClassSummary.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

// "お知らせを作成": which pupils get a letter (at first those at 20 % and over or −20 % and
// under) and the letter's text. The caller saves the text and writes the letters.
class frmLetters : public QDialog {
    Q_OBJECT
public:
    frmLetters(const ClassSummary& summary, const QString& text, QWidget* parent = nullptr);

    QList<int> Chosen() const;  // record numbers
    QString Text() const;

    QListWidget* lstPupils = nullptr;
    QPlainTextEdit* txtLetter = nullptr;
    QPushButton* cmdDefaultText = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    void cmdDefaultText_Click();
};
