#include "QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns =
            i + 1 < parts.size() ? parts[i + 1].trimmed().replace(u';', u' ') : QString();
        if (patterns.isEmpty() || description.contains(u'('))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

bool IsRefusedSaveTarget(const QString& path) {
    const QFileInfo file(path);
    if (file.exists()) return file.isDir() || !file.permission(QFileDevice::WriteOwner);
    const QFileInfo folder(file.absolutePath());
    return !folder.isDir() || !folder.permission(QFileDevice::WriteOwner);
}

namespace {
// The window a box belongs to: the active one, else the program's main window, so that a box
// raised while nothing is active (a timer, the serial line) sits over the program rather than
// in the middle of the screen.
QWidget* DialogParent() {
    if (QWidget* active = QApplication::activeModalWidget()) return active;
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && qobject_cast<QMainWindow*>(top)) return top;
    return nullptr;
}
}  // namespace

void QtDialogs::Message(const QString& text, MsgIcon icon, const QString& title) {
    const QMessageBox::Icon boxIcon = icon == MsgIcon::Information ? QMessageBox::Information
                                      : icon == MsgIcon::Warning   ? QMessageBox::Warning
                                                                   : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, DialogParent());
    box.exec();
}

namespace {
// A question without icon; Enter answers `byDefault`, Escape `onEscape`.
QMessageBox::StandardButton Ask(const QString& text, const QString& title,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton byDefault,
                                QMessageBox::StandardButton onEscape) {
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, DialogParent());
    box.setDefaultButton(byDefault);
    box.setEscapeButton(onEscape);
    return QMessageBox::StandardButton(box.exec());
}
}  // namespace

bool QtDialogs::AskYesNo(const QString& text, const QString& title) {
    return Ask(text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
               QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogs::AskDestructive(const QString& text, const QString& title) {
    return Ask(text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

Answer QtDialogs::AskYesNoCancel(const QString& text, const QString& title) {
    switch (Ask(text, title, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Cancel, QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::InputBox(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(DialogParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::SaveFile(const QString& title, const QString& filter,
                                           const QString& proposedName, const QString& folder) {
    QString start = folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName);
    for (;;) {
        const QString chosen =
            QFileDialog::getSaveFileName(DialogParent(), title, start, QtFileFilter(filter),
                                         nullptr, QFileDialog::DontConfirmOverwrite);
        if (chosen.isEmpty()) return std::nullopt;
        if (!IsRefusedSaveTarget(chosen)) return chosen;
        start = chosen;  // a read-only file or folder: ask again
    }
}
