#include "ProgramLook.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/hakaron.svg"));
}

bool LoadQtTranslations(QCoreApplication& app, const QString& appFolder) {
    const QStringList folders{QDir(appFolder).filePath(QStringLiteral("translations")),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("qtbase_ja"), folder) &&
            QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}

void PrepareApplication(QApplication& app) {
    LoadQtTranslations(app, QCoreApplication::applicationDirPath());
    QApplication::setWindowIcon(ProgramIcon());
}
