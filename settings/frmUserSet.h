#pragma once

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class Dialogs;
class DisplayControl;

// "ユーザ設定": manual or command mode, and automatic writing with its delay. Settings are
// read from G_Param when the dialog is built; build a new one for every opening.
class frmUserSet : public QDialog {
    Q_OBJECT
public:
    frmUserSet(Dialogs& dialogs, DisplayControl& display, QWidget* parent = nullptr);

    // The mode choice differs from the stored mode, or the defaults were selected.
    int16_t SettingsDirty() const { return m_settingsDirty; }

    QGroupBox* fraMode = nullptr;
    QLabel* lblModeNote = nullptr;
    QRadioButton* optMode_0 = nullptr;
    QRadioButton* optMode_1 = nullptr;
    QGroupBox* fraAutoWrite = nullptr;
    QCheckBox* chkAutoWrite = nullptr;
    QCheckBox* chkWholePerson = nullptr;  // wait for a height and a weight before writing
    QSlider* sldAutoWrite = nullptr;
    QLabel* lblAutoWrite = nullptr;
    QPushButton* cmdOkUser = nullptr;
    QPushButton* cmdCancelUser = nullptr;
    QPushButton* cmdDefUser = nullptr;

public slots:
    void optMode_Click(int index);
    void sldAutoWrite_Change();
    void cmdOkUser_Click();
    void cmdCancelUser_Click();
    void cmdDefUser_Click();
    void UpdateAutoWriteCaption();

protected:
    // Every way of closing passes here: the close box, Escape, the buttons.
    void done(int result) override;

private:
    void Form_Load();
    void StoreSettings();

    Dialogs& m_dialogs;
    DisplayControl& m_display;
    int16_t m_settingsDirty = 0;
    bool m_closing = false;
};
