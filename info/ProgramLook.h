#pragma once

#include <QIcon>
#include <QString>

class QApplication;
class QCoreApplication;

// The program's icon (built in, drawn as SVG).
QIcon ProgramIcon();

// Loads Qt's own Japanese texts (qtbase_ja: "はい", "いいえ", the file dialog), first from
// "translations" beside the program, else from Qt's installed translations. Returns false
// when none was found; the program then runs with Qt's English button texts.
bool LoadQtTranslations(QCoreApplication& app, const QString& appFolder);

// Called once from main(): the Japanese translations and the window icon.
void PrepareApplication(QApplication& app);
