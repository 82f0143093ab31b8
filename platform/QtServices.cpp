#include "QtServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

QDate SystemClock::Today() const {
    return QDate::currentDate();
}

void SystemBeeper::Beep() {
    QApplication::beep();
}

void DesktopShell::Open(const QString& target) {
    QDesktopServices::openUrl(QUrl(target));
}
