#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>

#include "ModalDriver.h"
#include "QtDialogs.h"

class TestQtDialogs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QWidget m_window;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_window.setObjectName(QStringLiteral("frmMain"));
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        QVERIFY(QTest::qWaitForWindowActive(&m_window));
    }

    // A closed box leaves no active window under the offscreen platform; the main window
    // would get the focus back on a desktop.
    void init() { QApplication::setActiveWindow(&m_window); }

    void fileFilterBecomesQtFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("csv") << QStringLiteral("CSVファイル (*.csv)|*.csv")
                             << QStringLiteral("CSVファイル (*.csv)");
        QTest::newRow("patterns added") << "Text|*.txt;*.log"
                                        << "Text (*.txt *.log)";
        QTest::newRow("two filters") << "A (*.a)|*.a|B|*.b"
                                     << "A (*.a);;B (*.b)";
        QTest::newRow("no pattern") << "All (*)"
                                    << "All (*)";
    }
    void fileFilterBecomesQtFilter() {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(QtFileFilter(filter), expected);
    }

    void readOnlyTargetsAreRefused() {
#ifdef Q_OS_WIN
        QSKIP("Unix mode bits: Wine as root writes into read-only folders");
#endif
        const QString fresh = m_dir.filePath(QStringLiteral("new.csv"));
        QVERIFY(!IsRefusedSaveTarget(fresh));
        const QString existing = m_dir.filePath(QStringLiteral("old.csv"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!IsRefusedSaveTarget(existing));
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadUser));
        QVERIFY(IsRefusedSaveTarget(existing));
        QVERIFY(IsRefusedSaveTarget(m_dir.path()));  // a folder
        QVERIFY(IsRefusedSaveTarget(m_dir.filePath(QStringLiteral("missing/x.csv"))));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("locked")));
        const QString locked = m_dir.filePath(QStringLiteral("locked"));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(IsRefusedSaveTarget(locked + QStringLiteral("/x.csv")));
        QFile::setPermissions(
            locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void messageShowsTitleIconAndText_data() {
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("expectedIcon");
        QTest::newRow("information")
            << MsgIcon::Information << QStringLiteral("Hakaron") << int(QMessageBox::Information);
        QTest::newRow("warning") << MsgIcon::Warning << QStringLiteral("通信エラー")
                                 << int(QMessageBox::Warning);
        QTest::newRow("none") << MsgIcon::None << QStringLiteral("Hakaron")
                              << int(QMessageBox::NoIcon);
    }
    void messageShowsTitleIconAndText() {
        QFETCH(MsgIcon, icon);
        QFETCH(QString, title);
        QFETCH(int, expectedIcon);
        QString seenTitle, seenText;
        int seenIcon = -1;
        QWidget* seenParent = nullptr;
        const ModalDriver modal1(1, [&](QWidget* w, int) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            seenParent = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        QtDialogs().Message(QStringLiteral("通信ポートが開きませんでした。\r\n"), icon, title);
        QCOMPARE(seenTitle, title);
        QCOMPARE(seenText, QStringLiteral("通信ポートが開きませんでした。\r\n"));
        QCOMPARE(seenIcon, expectedIcon);
        QCOMPARE(seenParent, &m_window);
    }

    // A box raised by a timer or the serial line, while no window is active, sits over the
    // program's main window rather than in the middle of the screen.
    void messageWithoutAnActiveWindowBelongsToTheMainWindow() {
        QMainWindow main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QApplication::setActiveWindow(nullptr);
        QWidget* parent = nullptr;
        const ModalDriver modal([&parent](QWidget* w) {
            parent = w->parentWidget();
            qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
        });
        QtDialogs().Message(QStringLiteral("x"), MsgIcon::Information);
        QCOMPARE(parent, &main);
    }

    void messageTitleIsHakaronUnlessGiven() {
        QString seenTitle;
        const ModalDriver modal2(1, [&](QWidget* w, int) {
            seenTitle = w->windowTitle();
            qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
        });
        QtDialogs dialogs;
        static_cast<Dialogs&>(dialogs).Message(QStringLiteral("x"), MsgIcon::Information);
        QCOMPARE(seenTitle, QStringLiteral("Hakaron"));
    }

    // Enter and Escape answer as the kind of question says: a Yes that destroys data is never
    // given by a key pressed while typing.
    void questionAnswersAsItsKindSays_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("answer");
        // clang-format off
        QTest::newRow("yes/no, Yes clicked")          << "yes/no" << "yes" << "yes";
        QTest::newRow("yes/no, No clicked")           << "yes/no" << "no" << "no";
        QTest::newRow("yes/no, Enter gives Yes")      << "yes/no" << "enter" << "yes";
        QTest::newRow("destructive, Yes clicked")     << "destructive" << "yes" << "yes";
        QTest::newRow("destructive, Enter gives No")  << "destructive" << "enter" << "no";
        QTest::newRow("destructive, Escape gives No") << "destructive" << "escape" << "no";
        QTest::newRow("three-way, No clicked")        << "three-way" << "no" << "no";
        QTest::newRow("three-way, Enter cancels")     << "three-way" << "enter" << "cancel";
        QTest::newRow("three-way, Escape cancels")    << "three-way" << "escape" << "cancel";
        // clang-format on
    }
    void questionAnswersAsItsKindSays() {
        QFETCH(QString, kind);
        QFETCH(QString, press);
        QFETCH(QString, answer);
        int icon = -1;
        QMessageBox::StandardButtons buttons;
        const ModalDriver modal(1, [&](QWidget* w, int) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            icon = box->icon();
            buttons = box->standardButtons();
            if (press == u"enter") QTest::keyClick(box, Qt::Key_Return);
            if (press == u"escape") QTest::keyClick(box, Qt::Key_Escape);
            if (press == u"yes") box->button(QMessageBox::Yes)->click();
            if (press == u"no") box->button(QMessageBox::No)->click();
        });
        QtDialogs dialogs;
        const QString text = QStringLiteral("保存しますか？");
        QString got;
        if (kind == u"three-way") {
            const Answer a = dialogs.AskYesNoCancel(text);
            got = a == Answer::Yes ? "yes" : a == Answer::No ? "no" : "cancel";
        } else {
            got = (kind == u"destructive" ? dialogs.AskDestructive(text) : dialogs.AskYesNo(text))
                      ? "yes"
                      : "no";
        }
        QCOMPARE(got, answer);
        QCOMPARE(icon, int(QMessageBox::NoIcon));
        QCOMPARE(buttons, kind == u"three-way"
                              ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                              : QMessageBox::Yes | QMessageBox::No);
    }

    void inputBoxGivesTheTextOrNothingWhenCancelled() {
        QString label;
        const ModalDriver modal4(1, [&](QWidget* w, int) {
            auto* input = qobject_cast<QInputDialog*>(w);
            QVERIFY(input);
            label = input->labelText();
            QCOMPARE(input->textValue(), QStringLiteral("名簿"));
            input->setTextValue(QStringLiteral("1年1組"));
            input->accept();
        });
        QtDialogs dialogs;
        QCOMPARE(dialogs.InputBox(QStringLiteral("名前"), QStringLiteral("Hakaron"),
                                  QStringLiteral("名簿")),
                 std::optional<QString>(QStringLiteral("1年1組")));
        QCOMPARE(label, QStringLiteral("名前"));
        const ModalDriver modal5(1, [](QWidget* w, int) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(dialogs.InputBox(QStringLiteral("名前"), QStringLiteral("Hakaron"), {}),
                 std::nullopt);
    }

    // The caller says why a read-only file is refused: the dialog hands it back as chosen.
    void saveDialogGivesTheChosenFile() {
#ifdef Q_OS_WIN
        QSKIP("Windows' own file dialog, which the test cannot drive under Wine");
#endif
        const QString readOnly = m_dir.filePath(QStringLiteral("locked.csv"));
        QFile file(readOnly);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner));

        QString title, filter, proposed;
        bool confirmsOverwrite = true;
        const ModalDriver modal6(1, [&](QWidget* w, int) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filter = dialog->nameFilters().join(u'|');
            proposed = dialog->selectedFiles().value(0);
            confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto chosen = QtDialogs().SaveFile(QStringLiteral("名前を付けて保存"),
                                                 QStringLiteral("CSVファイル (*.csv)|*.csv"),
                                                 QStringLiteral("locked.csv"), m_dir.path());
        QCOMPARE(chosen, std::optional<QString>(readOnly));
        QCOMPARE(title, QStringLiteral("名前を付けて保存"));
        QCOMPARE(filter, QStringLiteral("CSVファイル (*.csv)"));
        QCOMPARE(proposed, readOnly);
        QVERIFY(!confirmsOverwrite);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void cancelledSaveDialogGivesNothing() {
#ifdef Q_OS_WIN
        QSKIP("Windows' own file dialog, which the test cannot drive under Wine");
#endif
        const ModalDriver modal7(1, [](QWidget* w, int) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(QtDialogs().SaveFile(QStringLiteral("t"), QStringLiteral("CSV|*.csv"),
                                      QStringLiteral("a.csv"), m_dir.path()),
                 std::nullopt);
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
