#pragma once

#include <QAbstractButton>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include "FileBytes.h"
#include "MainWindowHooks.h"

// Stands in for the main window: counts what the dialogs ask of it, in order.
class DisplayRecorder : public DisplayControl {
public:
    void RefreshDisplay() override { Calls << QStringLiteral("RefreshDisplay"); }
    void ApplyModeLayout() override { Calls << QStringLiteral("ApplyModeLayout"); }
    int Count(const QString& call) const { return static_cast<int>(Calls.count(call)); }
    QStringList Calls;
};

// Controls whose caption is cut: a label, button or frame narrower than its caption needs.
// The window must be shown and laid out.
inline QStringList CutCaptions(const QWidget& window) {
    QStringList cut;
    const auto check = [&cut](const QWidget* w, const QString& caption, int needed) {
        if (!w->isVisible() || caption.isEmpty()) return;
        if (w->width() < needed) cut << w->objectName() + u':' + caption;
    };
    for (const QLabel* label : window.findChildren<QLabel*>())
        check(label, label->text(), label->minimumSizeHint().width());
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        check(button, button->text(), button->sizeHint().width());
    for (const QGroupBox* frame : window.findChildren<QGroupBox*>())
        check(frame, frame->title(), frame->fontMetrics().horizontalAdvance(frame->title()));
    return cut;
}

// Saves a picture of the window when HAKARON_SCREENSHOT_DIR names a folder.
inline void SaveScreenshot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("HAKARON_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
