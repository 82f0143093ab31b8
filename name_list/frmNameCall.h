#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

class QLabel;
class QListWidget;
class QPushButton;
class Dialogs;
class DisplayControl;

// The .nml files of `folder` that are regular files (links to them too), in the order
// people read numbers: "3年2組" before "3年10組".
QStringList NameListFiles(const QString& folder);

// What the chooser's first button does with the chosen list.
enum class NameCallPurpose {
    Edit,  // "選択": the editor opens after the chooser has closed
    Load,  // "ロード": the list becomes the measurement set
};

// The name-list chooser: the .nml files of the name-list folder, with the first button
// acting on the chosen one and "消去" deleting it. Every way of closing refreshes the main
// window's display.
class frmNameCall : public QDialog {
    Q_OBJECT
public:
    frmNameCall(NameCallPurpose purpose, Dialogs& dialogs, DisplayControl& display,
                QWidget* parent = nullptr);

    // "選択" was pressed on a file: the caller opens the editor on G_Param.ChosenFileName.
    bool EditorRequested() const { return m_editorRequested; }

    QListWidget* filNameCall = nullptr;
    QLabel* lblNameCall = nullptr;
    std::array<QPushButton*, 2> cmdSelectName{};
    QPushButton* cmdCancelName = nullptr;

public slots:
    void filNameCall_Click();
    void filNameCall_DblClick();
    void cmdSelectName_Click(int index);
    void cmdCancelName_Click();
    void LoadNameList();
    void DeleteNameList();

protected:
    void done(int result) override;

private:
    void Form_Load();
    void RefreshFileList();

    NameCallPurpose m_purpose;
    Dialogs& m_dialogs;
    DisplayControl& m_display;
    bool m_editorRequested = false;
    bool m_closing = false;
};
