#include "QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
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

void QtDialogs::Message(const QString& text, MsgIcon icon, const QString& title) {
    const QMessageBox::Icon boxIcon = icon == MsgIcon::Information ? QMessageBox::Information
                                      : icon == MsgIcon::Warning   ? QMessageBox::Warning
                                                                   : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::AskYesNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::InputBox(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::SaveFile(const QString& title, const QString& filter,
                                           const QString& proposedName, const QString& folder) {
    QString start = folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName);
    for (;;) {
        const QString chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), title,
                                                            start, QtFileFilter(filter), nullptr,
                                                            QFileDialog::DontConfirmOverwrite);
        if (chosen.isEmpty()) return std::nullopt;
        if (!IsRefusedSaveTarget(chosen)) return chosen;
        start = chosen;  // a read-only file or folder: ask again
    }
}
