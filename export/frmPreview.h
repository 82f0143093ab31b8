#pragma once

#include <QDialog>

class QLabel;
class QTableView;
class DisplayControl;

// "イメージプレビュー": every record of the measurement set in one read-only grid, filled
// from the record file when the window is built. Closing it refreshes the main window.
class frmPreview : public QDialog {
    Q_OBJECT
public:
    explicit frmPreview(DisplayControl& display, QWidget* parent = nullptr);

    QLabel* lblHeading = nullptr;
    QTableView* fgdPreview = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Every way of closing passes here: the close box, Escape.
    void done(int result) override;

private:
    void Form_Load();

    DisplayControl& m_display;
};
