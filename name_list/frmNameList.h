#pragma once

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class Dialogs;
class NameListGrid;
class NameListModel;

// "名簿リストの編集": edits the name list G_Param.ChosenFileName of the name-list folder as
// a grid, one row per entry. Always shown modally; build a new one for every opening.
class frmNameList : public QDialog {
    Q_OBJECT
public:
    explicit frmNameList(Dialogs& dialogs, QWidget* parent = nullptr);

    // Whether the list was read; when not, the user has been told and there is nothing to edit.
    bool Loaded() const { return m_loaded; }
    // Unsaved changes: set by every key that types in the grid, a double-click, a drag, a
    // paste and the list buttons, even when they change nothing.
    bool Modified() const { return m_modified; }
    NameListModel& Model() { return *m_model; }

    QGroupBox* fraMyFile = nullptr;
    QLabel* lblMyFile = nullptr;
    NameListGrid* fgdView = nullptr;
    QPushButton* cmdInputNew = nullptr;
    QPushButton* cmdIns = nullptr;
    QPushButton* cmdDel = nullptr;
    std::array<QPushButton*, 2> cmdMoveName{};  // 0 up, 1 down
    QPushButton* cmdInputEnd = nullptr;

public slots:
    void cmdInputNew_Click();
    void cmdIns_Click();
    void cmdDel_Click();
    void cmdMoveName_Click(int index);
    void cmdInputEnd_Click();
    // Writes the grid to G_Param.ChosenPath and says so. False (and said) when it failed.
    bool SaveNameList();

protected:
    // Every way of closing passes here; unsaved changes are offered for saving.
    void done(int result) override;

private:
    void Form_Load();
    QPushButton* ListButton(const QString& caption, const QString& tip, const QString& name);
    int CurrentRow() const;

    Dialogs& m_dialogs;
    NameListModel* m_model;
    bool m_loaded = false;
    bool m_modified = false;
    bool m_closing = false;
};
