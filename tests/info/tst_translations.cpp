#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ProgramLook.h"

namespace {
QString Caption(QMessageBox& box, QMessageBox::StandardButton which) {
    QString text = box.button(which)->text();
    text.remove(QStringLiteral("(&Y)")).remove(QStringLiteral("(&N)")).remove(u'&');
    return text;
}
}  // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxButtonsReadJapanese() {
#ifdef Q_OS_WIN
        QSKIP(
            "Qt for Windows here has no translations of its own; wine.installer tries the "
            "folder's");
#endif
        QTemporaryDir folderWithoutTranslations;
        QVERIFY(LoadQtTranslations(*qApp, folderWithoutTranslations.path()));
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Hakaron"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(Caption(box, QMessageBox::Yes), QStringLiteral("はい"));
        QCOMPARE(Caption(box, QMessageBox::No), QStringLiteral("いいえ"));
    }

    void theProgramIconIsDrawn() {
        QVERIFY(!ProgramIcon().pixmap(32, 32).isNull());
    }
};

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
