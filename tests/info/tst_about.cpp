#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "OpenWithShell.h"
#include "ServiceDoubles.h"
#include "frmAbout.h"

#ifdef Q_OS_WIN
constexpr const char* kSystem = "Windows";
#else
constexpr const char* kSystem = "Linux";
#endif

class AboutTest : public QObject {
    Q_OBJECT

    static ProductInfo FullInfo() {
        ProductInfo info;
        info.MakerName = QStringLiteral("配布元の名前");
        info.MakerAddress = QStringLiteral("配布元の住所");
        info.Disclaimer = QStringLiteral("無保証です。");
        info.SupportMail = QStringLiteral("support@example.org");
        info.WebSite = QStringLiteral("https://example.org/");
        return info;
    }
    static QLabel* Label(frmAbout& w, const QString& name) { return w.findChild<QLabel*>(name); }

private slots:
    void openWithShellHandsOverTheTarget_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("opened");
        // clang-format off
        QTest::newRow("web address unchanged") << "https://example.org/hakaron"
                                               << QStringList{"https://example.org/hakaron"};
        QTest::newRow("mail address gets mailto") << "support@example.org"
                                                  << QStringList{"mailto:support@example.org"};
        QTest::newRow("mailto link not doubled") << "mailto:support@example.org"
                                                 << QStringList{"mailto:support@example.org"};
        QTest::newRow("address without a scheme opens as https") << "www.example.org/hakaron"
                                                << QStringList{"https://www.example.org/hakaron"};
        QTest::newRow("spaces only do nothing") << "   " << QStringList{};
        QTest::newRow("empty does nothing") << "" << QStringList{};
        // clang-format on
    }
    void openWithShellHandsOverTheTarget() {
        QFETCH(QString, target);
        QFETCH(QStringList, opened);
        ShellDouble shell;
        OpenWithShell(shell, target);
        QCOMPARE(shell.Opened, opened);
    }

    void showsProductVersionAndTheConfiguredLines() {
        frmAbout w(FullInfo());
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(Label(w, "lblTytle")->text(),
                 QStringLiteral("Hakaron  (for %1)").arg(QLatin1String(kSystem)));
        QCOMPARE(Label(w, "lblVersion")->text(),
                 QStringLiteral("このソフトのバージョンは  ver.1.30です"));
        QCOMPARE(Label(w, "lblAddress_0")->text(), QStringLiteral(" e-mail： support@example.org"));
        QCOMPARE(Label(w, "lblAddress_1")->text(),
                 QStringLiteral("Website： https://example.org/"));
        for (const char* name : {"Label1", "lblDescription", "lblDisclaimer", "lblAddress_0"})
            QVERIFY2(Label(w, name)->isVisible(), name);
        QVERIFY(!Label(w, "picIcon")->pixmap().isNull());
    }

    void linesWithoutAValueAreHidden() {
        ProductInfo info = FullInfo();
        info.SupportMail.clear();
        info.MakerAddress = QStringLiteral("  ");
        frmAbout w(info);
        w.show();
        QVERIFY(!Label(w, "lblAddress_0")->isVisible());
        QVERIFY(!Label(w, "Label1")->isVisible());
        QVERIFY(Label(w, "lblAddress_1")->isVisible());
        QVERIFY(Label(w, "lblVersion")->isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
