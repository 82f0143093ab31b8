#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <memory>

#include "DialogsDouble.h"
#include "G_Param.h"
#include "WindowTestSupport.h"
#include "TestProgramFolder.h"
#include "frmUserSet.h"

namespace {
const QString kQuestion = QStringLiteral("未保存のデータがあります\r\n保存しますか？");
}

class UserSetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::unique_ptr<DisplayRecorder> m_display;

    std::unique_ptr<frmUserSet> OpenDialog() {
        auto dlg = std::make_unique<frmUserSet>(*m_dialogs, *m_display);
        dlg->show();
        return dlg;
    }
    static QRadioButton* Option(frmUserSet& dlg, int i) {
        return dlg.findChild<QRadioButton*>(QStringLiteral("optMode_%1").arg(i));
    }
    static QCheckBox* Check(frmUserSet& dlg) { return dlg.findChild<QCheckBox*>("chkAutoWrite"); }
    static QSlider* Slider(frmUserSet& dlg) { return dlg.findChild<QSlider*>("sldAutoWrite"); }
    static void Press(frmUserSet& dlg, const char* name) {
        dlg.findChild<QPushButton*>(name)->click();
    }
    void StoreSettings(int mode, int autoWrite, int delay) {
        G_Param.CommSettings = QStringLiteral("4800,E,8,1");
        G_Param.PortNumber = 2;
        G_Param.OperationMode = static_cast<int16_t>(mode);
        G_Param.AutoWriteOn = static_cast<uint8_t>(autoWrite);
        G_Param.AutoWriteDelay = static_cast<int16_t>(delay);
    }
    bool NothingStored() const {
        return !QFile::exists(m_folder->SettingsFile()) && m_display->Calls.isEmpty();
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_dialogs = std::make_unique<DialogsDouble>();
        m_display = std::make_unique<DisplayRecorder>();
    }

    void opensWithTheStoredSettings_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("autoWrite");
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("shown");
        QTest::newRow("manual, off, 0 s shows 1 s") << 0 << 0 << 0 << 1;
        QTest::newRow("command, on, 5 s") << 1 << 1 << 5 << 5;
        QTest::newRow("any other mode is command mode") << 3 << 1 << 60 << 60;
        QTest::newRow("a negative delay shows 1 s") << 0 << 1 << -4 << 1;
    }
    void opensWithTheStoredSettings() {
        QFETCH(int, mode);
        QFETCH(int, autoWrite);
        QFETCH(int, delay);
        QFETCH(int, shown);
        StoreSettings(mode, autoWrite, delay);
        auto dlg = OpenDialog();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("ユーザ設定"));
        QCOMPARE(Option(*dlg, 0)->isChecked(), mode == 0);
        QCOMPARE(Option(*dlg, 1)->isChecked(), mode != 0);
        QCOMPARE(Check(*dlg)->isChecked(), autoWrite == 1);
        QCOMPARE(Slider(*dlg)->value(), shown);
        QCOMPARE(Check(*dlg)->text(),
                 QStringLiteral("データ受信から%1秒後に自動書き込みする").arg(shown));
        QCOMPARE(dlg->SettingsDirty(), int16_t(0));
    }

    void sliderCoversWholeSecondsUpToAMinute() {
        auto dlg = OpenDialog();
        QCOMPARE(Slider(*dlg)->minimum(), 1);
        QCOMPARE(Slider(*dlg)->maximum(), 60);
        QCOMPARE(Slider(*dlg)->singleStep(), 1);
    }

    void movingTheSliderUpdatesTheCaption() {
        auto dlg = OpenDialog();
        Slider(*dlg)->setValue(7);
        QCOMPARE(Check(*dlg)->text(), QStringLiteral("データ受信から7秒後に自動書き込みする"));
        QTest::keyClick(Slider(*dlg), Qt::Key_Right);
        QCOMPARE(Check(*dlg)->text(), QStringLiteral("データ受信から8秒後に自動書き込みする"));
    }

    void delayOrCheckBoxAloneAskNothingOnClose_data() {
        QTest::addColumn<bool>("changeDelay");
        QTest::addColumn<bool>("changeCheck");
        QTest::newRow("delay") << true << false;
        QTest::newRow("check box") << false << true;
        QTest::newRow("both") << true << true;
    }
    void delayOrCheckBoxAloneAskNothingOnClose() {
        QFETCH(bool, changeDelay);
        QFETCH(bool, changeCheck);
        StoreSettings(0, 0, 3);
        auto dlg = OpenDialog();
        if (changeDelay) Slider(*dlg)->setValue(20);
        if (changeCheck) Check(*dlg)->click();
        dlg->close();
        QVERIFY(!dlg->isVisible());
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QVERIFY(NothingStored());
        QCOMPARE(G_Param.AutoWriteDelay, int16_t(3));
        QCOMPARE(G_Param.AutoWriteOn, uint8_t(0));
    }

    void clickingAModeComparesWithTheStoredMode_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("dirty");
        QTest::newRow("other mode") << 0 << QList<int>{1} << 1;
        QTest::newRow("back again") << 0 << QList<int>{1, 0} << 0;
        QTest::newRow("stored mode again") << 1 << QList<int>{1} << 0;
        QTest::newRow("from command to manual") << 1 << QList<int>{0} << 1;
    }
    void clickingAModeComparesWithTheStoredMode() {
        QFETCH(int, stored);
        QFETCH(QList<int>, clicks);
        QFETCH(int, dirty);
        StoreSettings(stored, 1, 2);
        auto dlg = OpenDialog();
        for (int i : clicks) Option(*dlg, i)->click();
        QCOMPARE(dlg->SettingsDirty(), int16_t(dirty));
    }

    void defaultButtonSelectsTheDefaults() {
        StoreSettings(1, 0, 30);
        auto dlg = OpenDialog();
        Press(*dlg, "cmdDefUser");
        QVERIFY(Option(*dlg, 0)->isChecked());
        QVERIFY(Check(*dlg)->isChecked());
        QCOMPARE(Slider(*dlg)->value(), 2);
        QCOMPARE(Check(*dlg)->text(), QStringLiteral("データ受信から2秒後に自動書き込みする"));
        QVERIFY(NothingStored());
        QCOMPARE(G_Param.OperationMode, int16_t(1));
    }

    // The default button marks the dialog changed, unless selecting manual mode brought
    // the choice back to a stored manual mode.
    void closeBoxAfterTheDefaultButton_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("asks");
        QTest::newRow("manual mode selected") << 0 << 0 << true;
        QTest::newRow("command mode stored and selected") << 1 << 1 << true;
        QTest::newRow("manual stored, command selected") << 0 << 1 << false;
    }
    void closeBoxAfterTheDefaultButton() {
        QFETCH(int, stored);
        QFETCH(int, selected);
        QFETCH(bool, asks);
        StoreSettings(stored, 0, 9);
        auto dlg = OpenDialog();
        Option(*dlg, selected)->click();
        Press(*dlg, "cmdDefUser");
        if (asks) m_dialogs->Answers = {false};
        dlg->close();
        QVERIFY(!dlg->isVisible());
        if (asks) {
            QCOMPARE(m_dialogs->Transcript.size(), 1);
            QCOMPARE(m_dialogs->Transcript[0].Kind, QStringLiteral("question"));
            QCOMPARE(m_dialogs->Transcript[0].Text, kQuestion);
            QCOMPARE(m_dialogs->Transcript[0].Title, QStringLiteral("Hakaron"));
        } else {
            QVERIFY(m_dialogs->Transcript.isEmpty());
        }
        QVERIFY(NothingStored());
        QCOMPARE(G_Param.OperationMode, int16_t(stored));
        QCOMPARE(G_Param.AutoWriteDelay, int16_t(9));
    }

    void yesToTheQuestionStoresAndLaysOutWithoutRefresh() {
        StoreSettings(0, 0, 9);
        auto dlg = OpenDialog();
        Option(*dlg, 1)->click();
        Slider(*dlg)->setValue(4);
        Check(*dlg)->click();
        m_dialogs->Answers = {true};
        dlg->close();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(G_Param.OperationMode, int16_t(1));
        QCOMPARE(G_Param.AutoWriteOn, uint8_t(1));
        QCOMPARE(G_Param.AutoWriteDelay, int16_t(4));
        QCOMPARE(FileBytes(m_folder->SettingsFile()), QByteArray("\"4800,E,8,1\",2,1,1,4\r\n"));
        QCOMPARE(m_display->Calls, QStringList{QStringLiteral("ApplyModeLayout")});
    }

    void escapeAsksLikeTheCloseBox() {
        auto dlg = OpenDialog();
        Option(*dlg, 1)->click();
        m_dialogs->Answers = {false};
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(m_dialogs->Texts(), QStringList{kQuestion});
        QVERIFY(NothingStored());
    }

    void saveStoresAllFiveSettingsThenLaysOutAndRefreshes() {
        StoreSettings(0, 0, 0);
        auto dlg = OpenDialog();
        Option(*dlg, 1)->click();
        Check(*dlg)->click();
        Slider(*dlg)->setValue(12);
        Press(*dlg, "cmdOkUser");
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(G_Param.OperationMode, int16_t(1));
        QCOMPARE(G_Param.AutoWriteOn, uint8_t(1));
        QCOMPARE(G_Param.AutoWriteDelay, int16_t(12));
        QCOMPARE(FileBytes(m_folder->SettingsFile()), QByteArray("\"4800,E,8,1\",2,1,1,12\r\n"));
        QCOMPARE(m_display->Calls, QStringList({QStringLiteral("ApplyModeLayout"),
                                                QStringLiteral("RefreshDisplay")}));
    }

    void savingUnchangedSettingsRewritesTheFile() {
        StoreSettings(0, 1, 5);
        auto dlg = OpenDialog();
        Press(*dlg, "cmdOkUser");
        QCOMPARE(FileBytes(m_folder->SettingsFile()), QByteArray("\"4800,E,8,1\",2,0,1,5\r\n"));
    }

    void cancelAfterChangesStoresNothing() {
        auto dlg = OpenDialog();
        Option(*dlg, 1)->click();
        Press(*dlg, "cmdDefUser");
        Press(*dlg, "cmdCancelUser");
        QVERIFY(!dlg->isVisible());
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QVERIFY(NothingStored());
        QCOMPARE(G_Param.OperationMode, int16_t(0));
    }

    // Automatic writing holds any stored delay to 1-60 s; saving stores what it really uses.
    void aLongerStoredDelayIsSavedAsAMinute() {
        StoreSettings(0, 1, 90);
        auto dlg = OpenDialog();
        QCOMPARE(Slider(*dlg)->value(), 60);
        Press(*dlg, "cmdOkUser");
        QCOMPARE(G_Param.AutoWriteDelay, int16_t(60));
    }

    void captionsAreNotCut() {
        StoreSettings(1, 1, 60);
        auto dlg = OpenDialog();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        QCOMPARE(CutCaptions(*dlg), QStringList());
        SaveScreenshot(*dlg, QStringLiteral("settings-userset"));
    }
};

QTEST_MAIN(UserSetTest)
#include "tst_userset.moc"
