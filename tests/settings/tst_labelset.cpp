#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "DialogsDouble.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "ServiceDoubles.h"
#include "WindowTestSupport.h"
#include "TestProgramFolder.h"
#include "frmLabelSet.h"
#include "mdlPublicWriteFunc.h"

namespace {
const QString kQuestion = QStringLiteral("未保存のデータがあります\r\n保存しますか？");

enum class Closing { Save, Cancel, CloseBox };
}  // namespace
Q_DECLARE_METATYPE(Closing)

class LabelSetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::unique_ptr<DisplayRecorder> m_display;
    ClockDouble m_clock;
    QByteArray m_storedBytes;

    std::unique_ptr<frmLabelSet> OpenDialog() {
        auto dlg = std::make_unique<frmLabelSet>(*m_dialogs, m_clock, *m_display);
        dlg->show();
        return dlg;
    }
    static QLineEdit* Box(frmLabelSet& dlg, const QString& name) {
        return dlg.findChild<QLineEdit*>(name);
    }
    static void Press(frmLabelSet& dlg, const char* name) {
        dlg.findChild<QPushButton*>(name)->click();
    }
    static void Close(frmLabelSet& dlg, Closing how) {
        if (how == Closing::Save) Press(dlg, "cmdOkLabel");
        if (how == Closing::Cancel) Press(dlg, "cmdCancelLabel");
        if (how == Closing::CloseBox) dlg.close();
        QVERIFY(!dlg.isVisible());
    }
    static MeasureRecord Record(int r) {
        return RecordFile::Read(G_Param.RecordFilePath(), r).Record;
    }
    // Writes a header with a measurement record after it, then forgets it in memory so
    // that what the dialog shows can only come from the file.
    void StoreHeader() {
        G_Param.Title = QStringLiteral("春の身体測定");
        G_Param.MeasureDate = QStringLiteral("2020年1月2日");
        G_Param.Person = QStringLiteral("山田 花子");
        G_Param.SubLabelCaption1 = QStringLiteral("学年");
        G_Param.SubLabelCaption2 = QStringLiteral("組");
        G_Param.SubLabelCaption3 = QStringLiteral("氏名");
        WriteHeader();
        MeasureRecord first;
        first.SubLabel1 = QStringLiteral("1");
        first.Values.Height = QStringLiteral("150.2");
        RecordFile::Write(G_Param.RecordFilePath(), 3, first);
        m_storedBytes = FileBytes(m_folder->RecordFile());
        G_Param.Title = QString();
        G_Param.MeasureDate.clear();
        G_Param.Person = QString();
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_dialogs = std::make_unique<DialogsDouble>();
        m_display = std::make_unique<DisplayRecorder>();
        StoreHeader();
    }

    void formatsDatesWithoutLeadingZeros_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("single digits") << QDate(2004, 4, 1) << "2004年4月1日";
        QTest::newRow("two digits") << QDate(2026, 12, 17) << "2026年12月17日";
    }
    void formatsDatesWithoutLeadingZeros() {
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QCOMPARE(FormatMeasureDate(date), text);
    }

    void opensWithTheStoredHeader() {
        auto dlg = OpenDialog();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("各入力ラベル設定"));
        auto* tabs = dlg->findChild<QTabWidget*>("SSTab1");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("メインラベルの設定"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("項目ラベルの設定"));
        QCOMPARE(Box(*dlg, "txtTytle")->text(), QStringLiteral("春の身体測定"));
        QCOMPARE(Box(*dlg, "txtPerson")->text(), QStringLiteral("山田 花子"));
        QCOMPARE(Box(*dlg, "txtSubTytle_0")->text(), QStringLiteral("学年"));
        QCOMPARE(Box(*dlg, "txtSubTytle_1")->text(), QStringLiteral("組"));
        QCOMPARE(Box(*dlg, "txtSubTytle_2")->text(), QStringLiteral("氏名"));
        QCOMPARE(dlg->findChild<QLabel*>("lblNowDateLabel")->text(),
                 QStringLiteral("現在の日付: 2020年1月2日"));
        QCOMPARE(G_Param.Title.Trimmed(), QStringLiteral("春の身体測定"));
        QCOMPARE(G_Param.MeasureDate, QStringLiteral("2020年1月2日"));
        QCOMPARE(G_Param.Person.Trimmed(), QStringLiteral("山田 花子"));
        QCOMPARE(dlg->Dirty(), int16_t(0));
    }

    void opensEmptyWithoutARecordFile() {
        QFile::remove(m_folder->RecordFile());
        auto dlg = OpenDialog();
        QVERIFY(Box(*dlg, "txtTytle")->text().isEmpty());
        QCOMPARE(dlg->findChild<QLabel*>("lblNowDateLabel")->text(),
                 QStringLiteral("現在の日付: "));
        m_dialogs->Answers.clear();
        dlg->close();
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    void closingUnchangedAsksNothingAndKeepsTheFile_data() {
        QTest::addColumn<Closing>("how");
        QTest::newRow("close box") << Closing::CloseBox;
        QTest::newRow("cancel") << Closing::Cancel;
    }
    void closingUnchangedAsksNothingAndKeepsTheFile() {
        QFETCH(Closing, how);
        auto dlg = OpenDialog();
        Close(*dlg, how);
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(FileBytes(m_folder->RecordFile()), m_storedBytes);
        QCOMPARE(m_display->Calls, QStringList{QStringLiteral("RefreshDisplay")});
    }

    void typingThenCancelClosesWithoutStoring_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("title") << "txtTytle";
        QTest::newRow("person") << "txtPerson";
        QTest::newRow("caption 3") << "txtSubTytle_2";
    }
    void typingThenCancelClosesWithoutStoring() {
        QFETCH(QString, box);
        auto dlg = OpenDialog();
        QTest::keyClicks(Box(*dlg, box), QStringLiteral("abc"));
        QCOMPARE(dlg->Dirty(), int16_t(1));
        Close(*dlg, Closing::Cancel);
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(FileBytes(m_folder->RecordFile()), m_storedBytes);
        QCOMPARE(m_display->Count(QStringLiteral("RefreshDisplay")), 1);
    }

    void typingThenCloseBoxAsks_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void typingThenCloseBoxAsks() {
        QFETCH(bool, yes);
        auto dlg = OpenDialog();
        Box(*dlg, "txtSubTytle_1")->setText(QStringLiteral("  クラス "));
        m_dialogs->Answers = {yes};
        Close(*dlg, Closing::CloseBox);
        QCOMPARE(m_dialogs->Texts(), QStringList{kQuestion});
        QCOMPARE(m_dialogs->Transcript[0].Title, QStringLiteral("Hakaron"));
        if (yes) {
            QCOMPARE(Record(2).SubLabel2.Trimmed(), QStringLiteral("クラス"));
            QCOMPARE(Record(1).SubLabel2.Trimmed(), QStringLiteral("2020年1月2日"));
        } else {
            QCOMPARE(FileBytes(m_folder->RecordFile()), m_storedBytes);
        }
        QVERIFY(m_display->Count(QStringLiteral("RefreshDisplay")) >= 1);
        QCOMPARE(m_display->Calls.last(), QStringLiteral("RefreshDisplay"));
    }

    void todayButtonShowsTheDateWithoutStoring() {
        auto dlg = OpenDialog();
        Press(*dlg, "cmdToday");
        QCOMPARE(dlg->PendingDate(), QStringLiteral("2026年12月7日"));
        QCOMPARE(dlg->findChild<QLabel*>("lblNowDateLabel")->text(),
                 QStringLiteral("現在の日付: 2026年12月7日"));
        QCOMPARE(dlg->Dirty(), int16_t(0));
        QCOMPARE(FileBytes(m_folder->RecordFile()), m_storedBytes);
        QCOMPARE(G_Param.MeasureDate, QStringLiteral("2020年1月2日"));
        m_dialogs->Answers = {false};
        dlg->close();
    }

    void todayThenCancelAsksAndYesStoresTheDateAndTheBoxes() {
        auto dlg = OpenDialog();
        Box(*dlg, "txtTytle")->setText(QStringLiteral("秋の測定"));
        Press(*dlg, "cmdToday");
        m_dialogs->Answers = {true};
        Close(*dlg, Closing::Cancel);
        QCOMPARE(m_dialogs->Texts(), QStringList{kQuestion});

        const QByteArray bytes = FileBytes(m_folder->RecordFile());
        QCOMPARE(bytes.size(), m_storedBytes.size());
        // Record 1, field 2: the date in code page 932, padded to 20 bytes.
        QCOMPARE(bytes.mid(20, 20), QByteArray("2026\x94\x4e"
                                               "12\x8c\x8e"
                                               "7\x93\xfa       "));
        QCOMPARE(Record(1).SubLabel1.Trimmed(), QStringLiteral("秋の測定"));
        QCOMPARE(Record(1).SubLabel3.Trimmed(), QStringLiteral("山田 花子"));
        QCOMPARE(Record(2).SubLabel1.Trimmed(), QStringLiteral("学年"));
        QCOMPARE(Record(2).SubLabel3.Trimmed(), QStringLiteral("氏名"));
        // The measurements after the header are untouched.
        QCOMPARE(bytes.mid(300), m_storedBytes.mid(300));
        QCOMPARE(G_Param.MeasureDate, QStringLiteral("2026年12月7日"));
        QCOMPARE(m_display->Calls.last(), QStringLiteral("RefreshDisplay"));
    }

    void todayThenCancelAndNoKeepsTheFile() {
        auto dlg = OpenDialog();
        Press(*dlg, "cmdToday");
        m_dialogs->Answers = {false};
        Close(*dlg, Closing::Cancel);
        QCOMPARE(m_dialogs->Texts(), QStringList{kQuestion});
        QCOMPARE(FileBytes(m_folder->RecordFile()), m_storedBytes);
        QCOMPARE(m_display->Calls, QStringList{QStringLiteral("RefreshDisplay")});
    }

    void saveStoresTrimmedTextsAndRefreshes() {
        auto dlg = OpenDialog();
        Box(*dlg, "txtTytle")->setText(QStringLiteral("  新年度  "));
        Box(*dlg, "txtPerson")->setText(QStringLiteral("　鈴木 "));
        Box(*dlg, "txtSubTytle_0")->setText(QString());
        Close(*dlg, Closing::Save);
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        // Trimmed: no leading spaces reach the file.
        QVERIFY(Record(1).SubLabel1.Value().startsWith(QStringLiteral("新年度")));
        QCOMPARE(Record(1).SubLabel1.Trimmed(), QStringLiteral("新年度"));
        // Only ASCII spaces are trimmed, as for every stored field: a full-width one stays.
        QCOMPARE(Record(1).SubLabel3.Trimmed(), QStringLiteral("　鈴木"));
        QVERIFY(Record(2).SubLabel1.IsBlank());
        QCOMPARE(G_Param.Title.Trimmed(), QStringLiteral("新年度"));
        QVERIFY(G_Param.SubLabelCaption1.IsBlank());
        QVERIFY(m_display->Count(QStringLiteral("RefreshDisplay")) >= 1);
        QVERIFY(m_display->Calls.count(QStringLiteral("ApplyModeLayout")) == 0);
    }

    void enterInATextBoxNeverTakesTodaysDate() {
        auto dlg = OpenDialog();
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        Box(*dlg, "txtTytle")->setFocus();
        QTest::keyClick(Box(*dlg, "txtTytle"), Qt::Key_Return);
        QCOMPARE(Record(1).SubLabel2.Trimmed(), QStringLiteral("2020年1月2日"));
        QVERIFY(!dlg->findChild<QLabel*>("lblNowDateLabel")->text().contains(u"2026"));
    }

    void failedHeaderWriteIsTold() {
        auto dlg = OpenDialog();
        QFile::remove(m_folder->RecordFile());
        QVERIFY(QDir().mkpath(m_folder->RecordFile()));
        Box(*dlg, "txtPerson")->setText(QStringLiteral("佐藤"));
        Close(*dlg, Closing::Save);
        QCOMPARE(m_dialogs->Transcript.size(), 1);
        QCOMPARE(m_dialogs->Transcript.first().Icon, MsgIcon::Warning);
        QVERIFY(m_dialogs->Texts().first().contains(u"zqmtemp.rdm"));
    }

    void savingOtherEditsKeepsTheStoredDate() {
        auto dlg = OpenDialog();
        Box(*dlg, "txtPerson")->setText(QStringLiteral("佐藤"));
        Close(*dlg, Closing::Save);
        QCOMPARE(Record(1).SubLabel2.Trimmed(), QStringLiteral("2020年1月2日"));
        QCOMPARE(FileBytes(m_folder->RecordFile()).mid(20, 20), m_storedBytes.mid(20, 20));
    }

    void saveAfterTodayStoresTheNewDateWithoutAsking() {
        auto dlg = OpenDialog();
        Press(*dlg, "cmdToday");
        Close(*dlg, Closing::Save);
        QVERIFY(m_dialogs->Transcript.isEmpty());
        QCOMPARE(Record(1).SubLabel2.Trimmed(), QStringLiteral("2026年12月7日"));
    }

    void aLongTitleIsStoredAndShownAsItsFirstTenCharacters() {
        const QString twelve = QStringLiteral("一二三四五六七八九十壱弐");
        auto dlg = OpenDialog();
        Box(*dlg, "txtTytle")->setText(twelve);
        Close(*dlg, Closing::Save);
        QCOMPARE(Record(1).SubLabel1.Trimmed(), twelve.left(10));
        // Cut to its 20-byte field: the records after it stay where they were.
        QCOMPARE(FileBytes(m_folder->RecordFile()).mid(300), m_storedBytes.mid(300));

        m_display->Calls.clear();
        auto again = OpenDialog();
        QCOMPARE(Box(*again, "txtTytle")->text(), twelve.left(10));
        again->close();
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    void enteringABoxSelectsItsText_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("title") << "txtTytle";
        QTest::newRow("person") << "txtPerson";
        QTest::newRow("caption 1") << "txtSubTytle_0";
    }
    void enteringABoxSelectsItsText() {
        QFETCH(QString, box);
        auto dlg = OpenDialog();
        QLineEdit* edit = Box(*dlg, box);
        edit->deselect();
        // A click gives the focus without the line edit's own select-all of tabbing in.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(edit, &focusIn);
        QTRY_COMPARE_WITH_TIMEOUT(edit->selectedText(), edit->text(), 5000);
        QVERIFY(!edit->text().isEmpty());
        dlg->close();
    }

    void escapeClosesLikeTheCloseBox() {
        auto dlg = OpenDialog();
        QTest::keyClicks(Box(*dlg, "txtPerson"), QStringLiteral("x"));
        m_dialogs->Answers = {false};
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(m_dialogs->Texts(), QStringList{kQuestion});
        QCOMPARE(FileBytes(m_folder->RecordFile()), m_storedBytes);
    }

    void captionsAreNotCut() {
        auto dlg = OpenDialog();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        auto* tabs = dlg->findChild<QTabWidget*>("SSTab1");
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            QCOMPARE(CutCaptions(*dlg), QStringList());
            SaveScreenshot(*dlg, QStringLiteral("settings-labelset-%1").arg(i));
        }
        dlg->close();
    }
};

QTEST_MAIN(LabelSetTest)
#include "tst_labelset.moc"
