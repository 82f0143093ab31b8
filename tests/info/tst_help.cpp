#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include "ServiceDoubles.h"
#include "frmHelp.h"

namespace {
QString ResourceText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QStringList Pages() {
    QStringList pages;
    QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")});
    while (it.hasNext()) pages << it.next();
    return pages;
}

bool IsExternal(const QUrl& url) {
    return url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https") ||
           url.scheme() == QStringLiteral("mailto");
}
}  // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheContentsPage() {
        ShellDouble shell;
        frmHelp w(shell);
        QCOMPARE(w.txtHelp->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        QVERIFY(w.txtHelp->toPlainText().contains(QStringLiteral("目次")));
        QVERIFY(!w.cmdBack->isEnabled());
        QVERIFY(!w.cmdForward->isEnabled());
    }

    // Every link and picture of every page points at a page or picture of the manual, and a
    // link to a place inside a page finds that place.
    void everyInternalLinkResolves() {
        const QStringList pages = Pages();
        QVERIFY(pages.size() >= 5);
        const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
        int checked = 0;
        for (const QString& page : pages) {
            const QUrl base(QStringLiteral("qrc") + page);
            auto matches = ref.globalMatch(ResourceText(page));
            while (matches.hasNext()) {
                const QUrl target = base.resolved(QUrl(matches.next().captured(1)));
                if (IsExternal(target)) continue;
                const QString file = u':' + target.path();
                QVERIFY2(QFile::exists(file), qPrintable(page + " -> " + target.toString()));
                if (target.hasFragment()) {
                    const QString anchor = QStringLiteral("name=\"%1\"").arg(target.fragment());
                    QVERIFY2(ResourceText(file).contains(anchor),
                             qPrintable(page + " -> " + target.toString()));
                }
                ++checked;
            }
        }
        QVERIFY(checked > pages.size());
    }

    void everyPageIsReachableFromTheContents() {
        ShellDouble shell;
        frmHelp w(shell);
        const QString contents = ResourceText(QStringLiteral(":/help/index.html"));
        for (const QString& page : Pages()) {
            const QString name = page.section(u'/', -1);
            if (name == QStringLiteral("index.html")) continue;
            QVERIFY2(contents.contains(QStringLiteral("href=\"%1").arg(name)), qPrintable(name));
        }
    }

    void linksMoveThroughTheManualWithBackAndForward() {
        ShellDouble shell;
        frmHelp w(shell);
        w.txtHelp_AnchorClicked(QUrl(QStringLiteral("daily.html")));
        QCOMPARE(w.txtHelp->source(), QUrl(QStringLiteral("qrc:/help/daily.html")));
        QVERIFY(w.cmdBack->isEnabled());
        w.cmdBack->click();
        QCOMPARE(w.txtHelp->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        QVERIFY(w.cmdForward->isEnabled());
        w.cmdForward->click();
        QCOMPARE(w.txtHelp->source(), QUrl(QStringLiteral("qrc:/help/daily.html")));
        w.cmdContents->click();
        QCOMPARE(w.txtHelp->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        QVERIFY(shell.Opened.isEmpty());
    }

    void webAndMailLinksGoToTheShellWithoutAMessage_data() {
        QTest::addColumn<QString>("link");
        QTest::newRow("web") << "https://www.qt.io/";
        QTest::newRow("mail") << "mailto:someone@example.org";
    }
    void webAndMailLinksGoToTheShellWithoutAMessage() {
        QFETCH(QString, link);
        ShellDouble shell;
        frmHelp w(shell);
        w.show();
        w.txtHelp_AnchorClicked(QUrl(link));
        QCOMPARE(shell.Opened, QStringList{link});
        QCOMPARE(w.txtHelp->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QMessageBox*>(top) || !top->isVisible());
    }
};

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
