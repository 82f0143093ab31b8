#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <functional>

#include "ClickLabel.h"
#include "MainWindowFixture.h"
#include "MeterLink.h"
#include "ModalDriver.h"
#include "NameListFile.h"
#include "ProductInfo.h"

namespace {
template <typename T>
T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QLatin1String(name));
    if (!child) qWarning("no control %s", name);
    return child;
}
}  // namespace

class MenusTest : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

    QAction* Action(const char* name) {
        return f->window->findChild<QAction*>(QLatin1String(name));
    }

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        f->WriteUserDat();
    }
    void cleanup() { f.reset(); }

    void menuBarHoldsEveryItemInOrder() {
        frmMain& w = f->Start();
        QStringList captions;
        for (QAction* menu : w.menuBar()->actions()) {
            captions << menu->text();
            for (QAction* item : menu->menu()->actions())
                captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
        }
        const QStringList expected{"ファイル(&F)",
                                   "新規作成(&N)",
                                   "-",
                                   "CSV形式で保存する(&C)",
                                   "-",
                                   "名簿データを呼び出す(&L)",
                                   "-",
                                   "編集中データ一覧(&T)",
                                   "受信履歴(&J)",
                                   "集計・肥満度判定(&R)",
                                   "-",
                                   "終了(&X)",
                                   "コマンド(&C)",
                                   "表示されているデータを保存する(&S)",
                                   "表示されているデータをクリアする(&C)",
                                   "-",
                                   "前のナンバーへ戻る(&B)",
                                   "次のナンバーへ進む(&G)",
                                   "新しいナンバーへ進む(&N)",
                                   "未測定のナンバーへ進む(&U)",
                                   "-",
                                   "身長データを要求する(&Q)",
                                   "座高データを要求する(&Z)",
                                   "体重データを要求する(&T)",
                                   "身長＆体重データを要求する(&A)",
                                   "風袋引きデータを要求する(&H)",
                                   "体重計の状態を要求する(&M)",
                                   "体重値＆状態を要求する(&O)",
                                   "身長体重計の状態を要求する(&P)",
                                   "身長体重計のROMバージョンを要求する(&V)",
                                   "名簿(&N)",
                                   "名簿の新規作成(&L)",
                                   "名簿ﾃﾞｰﾀの編集(&E)",
                                   "名簿データの消去(&D)",
                                   "設定(&M)",
                                   "ユーザ設定(&U)",
                                   "-",
                                   "ラベル設定(&L)",
                                   "通信設定(&T)",
                                   "ヘルプ(&H)",
                                   "Hakaronのヘルプ(&H)",
                                   "-",
                                   "ZQMホームページへ(&P)",
                                   "-",
                                   "バージョン情報(&V)"};
        QCOMPARE(captions, expected);
    }

    void shortcutsMatchTheirItems_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("keys");
        QTest::newRow("write") << "mnuInputSwtch"
                               << "Ctrl+S";
        QTest::newRow("clear") << "mnuClearSwitch"
                               << "Ctrl+D";
        QTest::newRow("previous") << "mnuLoadSwitch_0"
                                  << "Ctrl+B";
        QTest::newRow("next") << "mnuLoadSwitch_1"
                              << "Ctrl+G";
        QTest::newRow("new") << "mnuLoadSwitch_2"
                             << "Ctrl+N";
        QTest::newRow("next unmeasured") << "mnuNextUnmeasured"
                                         << "Ctrl+U";
        QTest::newRow("height") << "mnuDataSwitch_0"
                                << "Ctrl+Q";
        QTest::newRow("sitting") << "mnuDataSwitch_1"
                                 << "Ctrl+Z";
        QTest::newRow("weight") << "mnuDataSwitch_2"
                                << "Ctrl+T";
        QTest::newRow("both") << "mnuDataSwitch_3"
                              << "Ctrl+A";
        QTest::newRow("tare") << "mnuDataSwitch_4"
                              << "";
        QTest::newRow("help") << "mnuHelpIndex"
                              << "F1";
    }
    void shortcutsMatchTheirItems() {
        QFETCH(QString, item);
        QFETCH(QString, keys);
        f->Start();
        QAction* action = f->window->findChild<QAction*>(item);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), QKeySequence(keys));
    }

    // The editing keys edit in a text box; the meter's keys request everywhere, and the
    // editing keys that are also request keys request outside the text boxes.
    void menuKeysAndEditingKeys_data() {
        QTest::addColumn<QString>("focus");  // "box" or "button"
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("selected");  // of the box afterwards
        // clang-format off
        QTest::newRow("Ctrl+A in a box selects")        << "box"    << int(Qt::Key_A) << QByteArray() << "山田";
        QTest::newRow("Ctrl+Z in a box undoes")         << "box"    << int(Qt::Key_Z) << QByteArray() << "";
        QTest::newRow("Ctrl+Q in a box requests")       << "box"    << int(Qt::Key_Q) << QByteArray("\x02SY\x03") << "";
        QTest::newRow("Ctrl+A on a button requests")    << "button" << int(Qt::Key_A) << QByteArray("\x02ST\x03") << "";
        QTest::newRow("Ctrl+Z on a button requests")    << "button" << int(Qt::Key_Z) << QByteArray("\x02ZK\x03") << "";
        // clang-format on
    }
    void menuKeysAndEditingKeys() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QByteArray, sent);
        QFETCH(QString, selected);
        frmMain& w = f->Start();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QWidget* target =
            focus == u"box" ? static_cast<QWidget*>(w.txtSubLabel[0]) : w.cmdInputData;
        w.txtSubLabel[0]->setText(QStringLiteral("山田"));
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        w.txtSubLabel[0]->deselect();
        QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(f->port.Written, sent);
        QCOMPARE(w.txtSubLabel[0]->selectedText(), selected);
        QVERIFY(f->dialogs.Transcript.isEmpty());
    }

    void enteringASubLabelBoxSelectsItsText() {
        frmMain& w = f->Start();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtSubLabel[1]->setText(QStringLiteral("1年2組"));
        w.txtSubLabel[1]->setFocus();
        QTRY_COMPARE(w.txtSubLabel[1]->selectedText(), QStringLiteral("1年2組"));
    }

    void requestButtonSendsItsCommand() {
        frmMain& w = f->Start();
        w.cmdCommandSwitch[2]->click();
        QCOMPARE(f->port.Written, QByteArray("\x02TZ\x03"));
        QCOMPARE(w.cmdCommandSwitch[3]->text(), QStringLiteral("身長＆体重"));
    }

    void commSettingsReopensTheLinkEvenAfterGoingOffline() {
        frmMain& w = f->Start();
        w.cmdConnect->click();
        QCOMPARE(w.lblConnect->text(), QStringLiteral("オフライン"));
        const ModalDriver modal1(
            [](QWidget* dialog) { Child<QPushButton>(dialog, "cmdCancelTrans")->click(); });
        Action("mnuCommSetting")->trigger();
        QVERIFY(f->port.PortOpen());
        QVERIFY(w.Link().IsOnline());
        QCOMPARE(w.lblConnect->text(), QStringLiteral("オンライン"));
    }

    void userSettingsSavedFromTheMenuChangeLayoutAndTitle() {
        frmMain& w = f->Start();
        const ModalDriver modal2([](QWidget* dialog) {
            Child<QRadioButton>(dialog, "optMode_0")->click();
            Child<QPushButton>(dialog, "cmdDefUser")->click();
            Child<QPushButton>(dialog, "cmdOkUser")->click();
        });
        Action("mnuUserSetting")->trigger();
        QCOMPARE(w.height(), 373);
        QVERIFY(w.windowTitle().endsWith(QStringLiteral("～自動書き込みモード～")));
        QVERIFY(f->port.PortOpen());
    }

    // A reading waiting for its automatic write is written first and is in the CSV.
    void saveCsvWritesTheSetWhileTheLinkIsSuspended() {
        f->WriteUserDat(1, 1, 5);
        f->WriteRecords(2);
        frmMain& w = f->Start();
        w.txtNumber->setText(QStringLiteral("3"));
        f->port.Receive(QByteArray("\x02SY,  170.2\x03\x02TZ,   60.0\x03"));
        QVERIFY(f->port.PortOpen());
        const QString target = QDir(f->folder.Path()).filePath(QStringLiteral("set.csv"));
        f->dialogs.SavePaths = {target};
        bool openDuringSave = true;
        f->dialogs.OnMessage = [&](const QString&) { openDuringSave = f->port.PortOpen(); };
        Action("mnuSaveCsv")->trigger();
        QTRY_VERIFY(!w.findChild<QWidget*>(QStringLiteral("frmProgressBar")));
        QCOMPARE(f->dialogs.Texts().last(), QStringLiteral("保存しました"));
        QVERIFY(!openDuringSave);
        QVERIFY(f->port.PortOpen());
        QFile csv(target);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray lines = csv.readAll();
        QCOMPARE(lines.count("\r\n"), 4 + 4);  // No. 3 written, blank No. 4 made after it
        QVERIFY(lines.contains("170.2"));
        QVERIFY(!w.AwTimer->isActive());
    }

    void previewListsEveryRecordAndRefreshesOnClosing() {
        f->WriteRecords(3);
        frmMain& w = f->Start();
        w.txtSubLabel[0]->setText(QStringLiteral("未保存"));
        int rows = 0;
        bool openWhileShown = true;
        const ModalDriver modal3([&](QWidget* dialog) {
            rows = Child<QTableView>(dialog, "fgdPreview")->model()->rowCount();
            openWhileShown = f->port.PortOpen();
            dialog->close();
        });
        Action("mnuPreview")->trigger();
        QCOMPARE(rows, 3);
        QVERIFY(!openWhileShown);
        QVERIFY(f->port.PortOpen());
        QCOMPARE(w.txtSubLabel[0]->text(),
                 QStringLiteral("未保存"));  // a redraw keeps what is typed
    }

    // The summary library is loaded from the program folder when the menu is first used.
    void summaryListsThePupilsWhileTheLinkIsSuspended() {
        const QString library = QFileInfo(QStringLiteral(HAKARON_SUMMARY_LIBRARY)).fileName();
        QVERIFY(QFile::copy(QStringLiteral(HAKARON_SUMMARY_LIBRARY),
                            f->folder.Path() + u'/' + library));
        f->WriteRecords(3);
        f->Start();
        int pupils = 0;
        bool openWhileShown = true;
        const ModalDriver modal([&](QWidget* dialog) {
            pupils = Child<QTableView>(dialog, "fgdPupils")->model()->rowCount();
            openWhileShown = f->port.PortOpen();
            dialog->close();
        });
        Action("mnuSummary")->trigger();
        QCOMPARE(pupils, 3);
        QVERIFY(!openWhileShown);
        QVERIFY(f->port.PortOpen());
    }

    // Without the library the program goes on measuring; the menu says why there is no summary.
    void aMissingSummaryLibraryIsTold() {
        f->Start();
        Action("mnuSummary")->trigger();
        QCOMPARE(f->dialogs.Transcript.size(), 1);
        QCOMPARE(f->dialogs.Transcript.last().Icon, MsgIcon::Warning);
        QVERIFY(f->dialogs.Texts().last().contains(QStringLiteral("hakaron-summary")));
        QVERIFY(f->port.PortOpen());
    }

    void doubleClickOnTitleEditsLabelsWithoutTouchingTheLink() {
        frmMain& w = f->Start();
        const int opens = f->port.OpenCount;
        const ModalDriver modal4([](QWidget* dialog) {
            Child<QLineEdit>(dialog, "txtTytle")->setText(QStringLiteral("秋の測定"));
            Child<QPushButton>(dialog, "cmdOkLabel")->click();
        });
        QTest::mouseDClick(w.lblTytle, Qt::LeftButton);
        QCOMPARE(f->Record(1).SubLabel1.Trimmed(), QStringLiteral("秋の測定"));
        QCOMPARE(w.windowTitle(), QStringLiteral("秋の測定 - Hakaron ver.1.30"));
        QCOMPARE(f->port.OpenCount, opens);
        QCOMPARE(f->port.CloseCount, 0);
    }

    void loadingANameListMakesItTheMeasurementSet() {
        frmMain& w = f->Start();
        WriteNameListFile(f->folder.NameListFolder() + QStringLiteral("a.nml"),
                          {NameListEntry{{"山田", "1組", ""}}, NameListEntry{{"佐藤", "", ""}}});
        f->dialogs.Answers = {true, true};
        const ModalDriver modal5([](QWidget* chooser) {
            Child<QListWidget>(chooser, "filNameCall")->setCurrentRow(0);
            Child<QPushButton>(chooser, "cmdSelectName_0")->click();
        });
        Action("mnuNameListLoad")->trigger();
        QCOMPARE(f->Count(), 4);
        QCOMPARE(f->Record(4).SubLabel1.Trimmed(), QStringLiteral("佐藤"));
        QCOMPARE(w.txtNumber->text(), QStringLiteral("1"));
        QCOMPARE(w.txtSubLabel[1]->text(), QStringLiteral("1組"));
        QVERIFY(f->port.PortOpen());
    }

    void newNameListOpensTheEditorOnOneEmptyEntry() {
        f->Start();
        f->dialogs.Inputs = {QStringLiteral("2組")};
        QString file;
        const ModalDriver modal6([&file](QWidget* editor) {
            file = Child<QLabel>(editor, "lblMyFile")->text();
            Child<QPushButton>(editor, "cmdInputEnd")->click();
        });
        Action("mnuNewNameList")->trigger();
        QCOMPARE(file, QStringLiteral("2組.nml"));
        QCOMPARE(f->dialogs.Texts().last(), QStringLiteral("2組.nmlに保存しました"));
        QVERIFY(QFile::exists(f->folder.NameListFolder() + QStringLiteral("2組.nml")));
    }

    void editingANameListOpensTheEditorAfterTheChooser() {
        f->Start();
        WriteNameListFile(f->folder.NameListFolder() + QStringLiteral("a.nml"), {NameListEntry{}});
        QString edited;
        const ModalDriver modals(2, [&edited](QWidget* window, int index) {
            if (index == 0) {
                Child<QListWidget>(window, "filNameCall")->setCurrentRow(0);
                Child<QPushButton>(window, "cmdSelectName_0")->click();
            } else {
                edited = window->objectName() + u':' + Child<QLabel>(window, "lblMyFile")->text();
                window->close();
            }
        });
        Action("mnuNameEdit")->trigger();
        QCOMPARE(edited, QStringLiteral("frmNameList:a.nml"));
    }

    void deletingANameListUsesTheEditingChooser() {
        f->Start();
        const QString path = f->folder.NameListFolder() + QStringLiteral("a.nml");
        WriteNameListFile(path, {NameListEntry{}});
        f->dialogs.Answers = {true};
        QStringList seen;
        const ModalDriver modal7([&seen](QWidget* chooser) {
            seen << chooser->windowTitle() << Child<QPushButton>(chooser, "cmdSelectName_0")->text()
                 << Child<QPushButton>(chooser, "cmdSelectName_1")->text();
            Child<QListWidget>(chooser, "filNameCall")->setCurrentRow(0);
            Child<QPushButton>(chooser, "cmdSelectName_1")->click();
            Child<QPushButton>(chooser, "cmdCancelName")->click();
        });
        Action("mnuNameDel")->trigger();
        QCOMPARE(seen, (QStringList{"名簿の編集", "選択", "消去"}));
        QVERIFY(!QFile::exists(path));
    }

    void versionWindowSuspendsTheLinkAndBringsItBack() {
        frmMain& w = f->Start();
        const int closes = f->port.CloseCount;
        bool offlineWhileOpen = false;
        const ModalDriver modal8([this, &offlineWhileOpen](QWidget* dialog) {
            offlineWhileOpen = !f->port.PortOpen();
            QCOMPARE(dialog->windowTitle(), QStringLiteral("バージョン情報"));
            Child<QPushButton>(dialog, "cmdOK")->click();
        });
        Action("mnuVersion")->trigger();
        QVERIFY(offlineWhileOpen);
        QCOMPARE(f->port.CloseCount, closes + 1);
        QVERIFY(f->port.PortOpen());
        QVERIFY(w.Link().IsOnline());
    }

    void versionWindowLeavesTheLinkOfflineSilentlyWhenTheReopenFails() {
        frmMain& w = f->Start();
        const ModalDriver modal9([this](QWidget* dialog) {
            f->port.MissingPorts = {1};
            Child<QPushButton>(dialog, "cmdOK")->click();
        });
        Action("mnuVersion")->trigger();
        QVERIFY(!f->port.PortOpen());
        QVERIFY(!w.Link().IsOnline());
        QVERIFY(f->dialogs.Transcript.isEmpty());
    }

    void f1OpensTheManualOnItsFirstPage() {
        frmMain& w = f->Start();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.txtSubLabel[0], Qt::Key_F1);
        auto* help = w.findChild<QWidget*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(Child<QTextBrowser>(help, "txtHelp")->source(),
                 QUrl(QStringLiteral("qrc:/help/index.html")));
        QVERIFY(f->port.PortOpen());
    }

    void homePageGoesToTheConfiguredPageOnly() {
        f->Start();
        Action("mnuGoHomePage")->trigger();
        const QString page = ConfiguredProductInfo().ProductPage;
        QCOMPARE(f->shell.Opened, page.isEmpty() ? QStringList() : QStringList{page});
        QCOMPARE(Action("mnuGoHomePage")->isEnabled(), !page.isEmpty());
    }
};

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
