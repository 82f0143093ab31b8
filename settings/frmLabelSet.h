#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class Dialogs;
class Clock;
class DisplayControl;

// A date as the label dialog stores it: "2004年4月1日".
QString FormatMeasureDate(const QDate& date);

// "各入力ラベル設定": title, person in charge, date and the three sub-label captions held in
// records 1 and 2 of the record file. The records are read when the dialog is built; build
// a new one for every opening.
class frmLabelSet : public QDialog {
    Q_OBJECT
public:
    frmLabelSet(Dialogs& dialogs, const Clock& clock, DisplayControl& display,
                QWidget* parent = nullptr);

    int16_t Dirty() const { return m_dirty; }
    QString PendingDate() const { return m_pendingDate; }

    QTabWidget* SSTab1 = nullptr;
    QWidget* tabMainLabel = nullptr;
    QWidget* tabSubLabel = nullptr;
    QGroupBox* fraTytle = nullptr;
    QLabel* lblTytle = nullptr;
    QLineEdit* txtTytle = nullptr;
    QGroupBox* fraPerson = nullptr;
    QLabel* lblPerson = nullptr;
    QLineEdit* txtPerson = nullptr;
    QGroupBox* fraDate = nullptr;
    QPushButton* cmdToday = nullptr;
    QLabel* lblNowDateLabel = nullptr;
    QGroupBox* fraSubTytle_0 = nullptr;
    QGroupBox* fraSubTytle_1 = nullptr;
    QGroupBox* fraSubTytle_2 = nullptr;
    QLabel* lblSubTytle_0 = nullptr;
    QLabel* lblSubTytle_1 = nullptr;
    QLabel* lblSubTytle_2 = nullptr;
    QLineEdit* txtSubTytle_0 = nullptr;
    QLineEdit* txtSubTytle_1 = nullptr;
    QLineEdit* txtSubTytle_2 = nullptr;
    QPushButton* cmdOkLabel = nullptr;
    QPushButton* cmdCancelLabel = nullptr;
    QLabel* lblInstruction = nullptr;

public slots:
    void cmdToday_Click();
    void cmdOkLabel_Click();
    void cmdCancelLabel_Click();
    void Text_Change();
    // Stores the boxes and the pending date in G_Param, writes records 1 and 2 and
    // refreshes the main window.
    void SaveLabels();

protected:
    // Every way of closing passes here: the close box, Escape, the buttons.
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    QLineEdit* NewTextBox(const QString& name, QWidget* parent);

    Dialogs& m_dialogs;
    const Clock& m_clock;
    DisplayControl& m_display;
    QString m_pendingDate;
    int16_t m_dirty = 0;
    bool m_closing = false;
};
