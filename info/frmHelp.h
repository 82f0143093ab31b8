#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;
class Shell;

// "Hakaronのヘルプ": the Japanese manual built into the program, with contents, back and
// forward. Links outside the manual (web, mail) go to the desktop shell; if the shell cannot
// open them nothing is shown. A window of its own beside the main window, not modal, so that
// the user can read while measuring.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(Shell& shell, QWidget* parent = nullptr);

    // The manual's first page.
    static QUrl ContentsUrl();

    QPushButton* cmdContents = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdForward = nullptr;
    QTextBrowser* txtHelp = nullptr;

public slots:
    void cmdContents_Click();
    void txtHelp_AnchorClicked(const QUrl& link);

private:
    Shell& m_shell;
};
