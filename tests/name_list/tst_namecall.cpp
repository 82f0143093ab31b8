#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "DialogsDouble.h"
#include "G_Param.h"
#include "ModalDriver.h"
#include "NameListCommands.h"
#include "NameListTestSupport.h"
#include "RecordFile.h"
#include "TestProgramFolder.h"
#include "frmNameCall.h"

namespace {
const QString kSelect = QStringLiteral("ファイルを選択して下さい");
}

class NameCallTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::unique_ptr<DisplayRecorder> m_display;

    QString ListPath(const QString& name) const { return m_folder->NameListFolder() + name; }
    // A chooser with `name` selected.
    std::unique_ptr<frmNameCall> Choose(NameCallPurpose purpose, const QString& name) {
        auto dlg = std::make_unique<frmNameCall>(purpose, *m_dialogs, *m_display);
        dlg->show();
        const auto found = dlg->filNameCall->findItems(name, Qt::MatchExactly);
        if (!found.isEmpty()) dlg->filNameCall->setCurrentItem(found.first());
        return dlg;
    }
    // A measurement set of two records besides the headers; its bytes.
    QByteArray WriteSomeRecords() {
        MeasureRecord r;
        r.SubLabel1 = QStringLiteral("前の人");
        r.Values.Height = QStringLiteral("150.0");
        RecordFile::Replace(m_folder->RecordFile(), {MeasureRecord{}, MeasureRecord{}, r, r});
        return FileBytes(m_folder->RecordFile());
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_dialogs = std::make_unique<DialogsDouble>();
        m_display = std::make_unique<DisplayRecorder>();
    }

    void loadMakesOneBlankRecordPerEntry() {
        WriteSomeRecords();
        WriteNameListFile(ListPath("a.nml"), {Entry("佐藤", "1年"), Entry({}),
                                              Entry("一二三四五六七八九十一", {}, "x")});
        G_Param.CurrentIndex = 1;
        auto dlg = Choose(NameCallPurpose::Load, "a.nml");
        m_dialogs->Answers = {true, true};
        dlg->cmdSelectName[0]->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(m_dialogs->Texts().last(), QStringLiteral("ロードしました"));
        const QList<MeasureRecord> records = RecordFile::ReadAll(m_folder->RecordFile());
        QCOMPARE(records.size(), 5);
        QCOMPARE(records[0], MeasureRecord{});
        QCOMPARE(records[1], MeasureRecord{});
        QCOMPARE(records[2].SubLabel2.Trimmed(), QStringLiteral("1年"));
        QCOMPARE(records[2].Values, MeasureValues{});
        QCOMPARE(records[3], MeasureRecord{});
        QCOMPARE(records[4].SubLabel1.Trimmed(), QStringLiteral("一二三四五六七八九十"));
        QCOMPARE(records[4].SubLabel3.Trimmed(), QStringLiteral("x"));
        QCOMPARE(G_Param.CurrentIndex, int16_t(0));
        QCOMPARE(m_display->Calls, QStringList{"RefreshDisplay"});
    }

    void anEmptyListLeavesTheTwoHeaderRecords() {
        WriteSomeRecords();
        WriteBytes(ListPath("e.nml"), "");
        auto dlg = Choose(NameCallPurpose::Load, "e.nml");
        m_dialogs->Answers = {true, true};
        dlg->cmdSelectName[0]->click();
        QCOMPARE(FileBytes(m_folder->RecordFile()), QByteArray(300, ' '));
    }

    void noOrAnUnreadableListKeepsTheSetButShowsNoOne_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("list");  // "gone": removed before loading; "long": 1501
        QTest::addColumn<int>("messages");
        QTest::newRow("no to the first question") << QList<bool>{false} << "" << 1;
        QTest::newRow("no to the second question") << QList<bool>{true, false} << "" << 2;
        QTest::newRow("list gone before loading") << QList<bool>{true, true} << "gone" << 3;
        QTest::newRow("list longer than a set") << QList<bool>{true, true} << "long" << 3;
    }
    void noOrAnUnreadableListKeepsTheSetButShowsNoOne() {
        QFETCH(QList<bool>, answers);
        QFETCH(QString, list);
        QFETCH(int, messages);
        const bool listGone = !list.isEmpty();
        const QByteArray before = WriteSomeRecords();
        WriteBytes(ListPath("a.nml"),
                   QByteArray("\"x\",\"\",\"\"\r\n").repeated(list == u"long" ? 1501 : 1));
        G_Param.CurrentIndex = 1;
        auto dlg = Choose(NameCallPurpose::Load, "a.nml");
        if (list == u"gone") QFile::remove(ListPath("a.nml"));
        m_dialogs->Answers = std::deque<bool>(answers.begin(), answers.end());
        dlg->cmdSelectName[0]->click();
        QCOMPARE(FileBytes(m_folder->RecordFile()), before);
        QCOMPARE(m_dialogs->Transcript.size(), messages);
        if (listGone) QCOMPARE(m_dialogs->Transcript.last().Icon, MsgIcon::Warning);
        if (list == u"long")
            QVERIFY(m_dialogs->Texts().last().contains("名簿が1500名を超えています（1501名）"));
        QCOMPARE(G_Param.CurrentIndex, int16_t(0));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(m_display->Count("RefreshDisplay"), 1);
    }

    void deleteRefreshesTheListAndClearsTheChoice() {
        WriteBytes(ListPath("a.nml"), "");
        WriteBytes(ListPath("b.nml"), "");
        auto dlg = Choose(NameCallPurpose::Edit, "a.nml");
        QCOMPARE(dlg->lblNameCall->text(), QStringLiteral("a.nml"));
        m_dialogs->Answers = {true};
        dlg->cmdSelectName[1]->click();
        QVERIFY(!QFile::exists(ListPath("a.nml")));
        QCOMPARE(m_dialogs->Texts(), (QStringList{"a.nmlを消去しますか？", "消去しました"}));
        QCOMPARE(dlg->filNameCall->count(), 1);
        QCOMPARE(dlg->lblNameCall->text(), kSelect);
        m_dialogs->Clear();
        dlg->cmdSelectName[1]->click();
        QCOMPARE(m_dialogs->Texts(), QStringList{kSelect});
        QVERIFY(dlg->isVisible());
    }

    // Regular files only, numbers in reading order; the file reached by the keys is the
    // chosen one and Enter acts as the first button.
    void keyboardChoiceInNumberOrder() {
        for (const char* name : {"3年10組.nml", "3年2組.nml", "b.nml"})
            WriteBytes(ListPath(name), "");
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), ListPath("z.nml")));
#endif
        auto dlg = Choose(NameCallPurpose::Edit, "none");
        QStringList shown;
        for (int i = 0; i < dlg->filNameCall->count(); ++i)
            shown << dlg->filNameCall->item(i)->text();
        QCOMPARE(shown, (QStringList{"3年2組.nml", "3年10組.nml", "b.nml"}));
        QTest::keyClick(dlg->filNameCall, Qt::Key_Home);
        QTest::keyClick(dlg->filNameCall, Qt::Key_Down);
        QCOMPARE(dlg->lblNameCall->text(), QStringLiteral("3年10組.nml"));
        QTest::keyClick(dlg->filNameCall, Qt::Key_Return);
        QVERIFY(dlg->EditorRequested());
        QCOMPARE(G_Param.ChosenFileName, QStringLiteral("3年10組.nml"));
    }

    void doubleClickOnAFileAsksForTheEditor() {
        WriteBytes(ListPath("a.nml"), "");
        auto dlg = Choose(NameCallPurpose::Edit, "none");
        QWidget* list = dlg->filNameCall->viewport();
        const QPoint at = dlg->filNameCall->visualItemRect(dlg->filNameCall->item(0)).center();
        QTest::mouseClick(list, Qt::LeftButton, {}, at);  // a real double-click starts so
        QTest::mouseDClick(list, Qt::LeftButton, {}, at);
        QVERIFY(dlg->EditorRequested());
        QCOMPARE(G_Param.ChosenFileName, QStringLiteral("a.nml"));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(m_display->Count("RefreshDisplay"), 1);
    }

    // Typed names that end the command before any file is made, and a missing folder.
    void newListRefusals_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<int>("messages");
        QTest::newRow("cancelled") << std::optional<QString>() << true << 1;
        QTest::newRow("blanks only") << std::optional<QString>("  ") << true << 1;
        QTest::newRow("refused character") << std::optional<QString>("1/2組") << true << 3;
        QTest::newRow("two dots") << std::optional<QString>("..") << true << 3;
        QTest::newRow("a hidden name") << std::optional<QString>(".nml") << true << 3;
        QTest::newRow("no name-list folder") << std::optional<QString>("a") << false << 1;
    }
    void newListRefusals() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, folder);
        QFETCH(int, messages);
        if (!folder) QDir(m_folder->NameListFolder()).removeRecursively();
        m_dialogs->Inputs = {answer};
        NameListCommands::NewNameList(*m_dialogs, nullptr);
        QCOMPARE(m_dialogs->Transcript.size(), messages);
        if (messages == 3)  // said why, then asked again with the text kept
            QCOMPARE(m_dialogs->InputDefaults, (QStringList{QString(), *answer}));
        if (messages == 3 || !folder)
            QCOMPARE(m_dialogs->Transcript[messages == 3 ? 1 : 0].Icon, MsgIcon::Warning);
        QCOMPARE(QDir(m_folder->NameListFolder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(QFileInfo::exists(m_folder->NameListFolder()) == folder);
    }

    void newListOverExistingAsksAndOpensTheEditorOnlyOnYes_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("typed");
        QTest::newRow("no keeps the old list") << false << " 3年1組 ";
        QTest::newRow("yes empties it; a typed .nml is not doubled") << true << "3年1組.NML";
    }
    void newListOverExistingAsksAndOpensTheEditorOnlyOnYes() {
        QFETCH(bool, yes);
        QFETCH(QString, typed);
        const QByteArray old("\"old\",\"\",\"\"\r\n");
        WriteBytes(ListPath("3年1組.nml"), old);
        m_dialogs->Inputs = {typed};
        m_dialogs->Answers = {yes};
        QString editor;
        const ModalDriver closer([&editor](QWidget* modal) {  // closes the editor, if any
            editor = modal->objectName();
            modal->close();
        });
        NameListCommands::NewNameList(*m_dialogs, nullptr);
        QCOMPARE(
            m_dialogs->Texts()[1],
            QStringLiteral("同名のファイルが存在します\r\n以前のデータを消去して上書きしますか？"));
        QCOMPARE(FileBytes(ListPath("3年1組.nml")), yes ? QByteArray("\"\",\"\",\"\"\r\n") : old);
        QCOMPARE(editor, yes ? QStringLiteral("frmNameList") : QString());
    }

    void captionsAreNotCut() {
        WriteBytes(ListPath("3年1組.nml"), "");
        WriteBytes(ListPath("3年2組.nml"), "");
        auto dlg = Choose(NameCallPurpose::Load, "3年2組.nml");
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        QCOMPARE(CutCaptions(*dlg), QStringList());
        SaveScreenshot(*dlg, QStringLiteral("name-list-chooser"));
    }
};

QTEST_MAIN(NameCallTest)
#include "tst_namecall.moc"
