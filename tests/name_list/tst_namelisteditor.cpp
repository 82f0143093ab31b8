#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "DialogsDouble.h"
#include "G_Const.h"
#include "G_Param.h"
#include "NameListGrid.h"
#include "NameListModel.h"
#include "NameListTestSupport.h"
#include "TestProgramFolder.h"
#include "frmNameList.h"

namespace {
const QByteArray kThree("\"A\",\"a2\",\"a3\"\r\n\"B\",\"b2\",\"b3\"\r\n\"C\",\"c2\",\"c3\"\r\n");
const QString kNoMore = QStringLiteral("これ以上登録できません");
}  // namespace

class NameListEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::unique_ptr<QAbstractItemModelTester> m_tester;  // watches every change of the list

    QString ListPath() const { return m_folder->NameListFolder() + QStringLiteral("組.nml"); }
    std::unique_ptr<frmNameList> Open(const QByteArray& bytes) {
        WriteBytes(ListPath(), bytes);
        G_Param.ChosenFileName = QStringLiteral("組.nml");
        auto dlg = std::make_unique<frmNameList>(*m_dialogs);
        m_tester = std::make_unique<QAbstractItemModelTester>(
            &dlg->Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        dlg->show();
        return dlg;
    }
    static NameListGrid* Grid(frmNameList& dlg) {
        return dlg.findChild<NameListGrid*>(QStringLiteral("fgdView"));
    }
    static QLineEdit* Box(frmNameList& dlg) {
        auto* box = dlg.findChild<QLineEdit*>(QStringLiteral("txtEdit"));
        return box && box->isVisible() ? box : nullptr;
    }
    static void Press(frmNameList& dlg, const char* name) {
        dlg.findChild<QPushButton*>(QLatin1String(name))->click();
    }
    static QString Cell(frmNameList& dlg, int row, int column = 1) {
        return dlg.Model().index(row, column).data().toString();
    }
    static QPoint CellCenter(frmNameList& dlg, int row, int column) {
        return Grid(dlg)->visualRect(dlg.Model().index(row, column)).center();
    }
    static QPoint HeadingCenter(frmNameList& dlg, int column) {
        QHeaderView* h = Grid(dlg)->horizontalHeader();
        return {h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2};
    }
    static QByteArray ManyEntries(int n) { return QByteArray("\"x\",\"\",\"\"\r\n").repeated(n); }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_dialogs = std::make_unique<DialogsDouble>();
    }
    void cleanup() { m_tester.reset(); }

    void keysOnTheGridAndInTheEditBox_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("gridKey");
        QTest::addColumn<int>("boxKey");  // 0: no box expected
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("cell");  // the start row's item 1 afterwards
        QTest::addColumn<int>("currentRow");
        // clang-format off
        QTest::newRow("letter starts a fresh text") << 0 << int(Qt::Key_X) << int(Qt::Key_Return) << "x" << "x" << 1;
        QTest::newRow("Space edits the text") << 0 << int(Qt::Key_Space) << int(Qt::Key_Return) << "A" << "A" << 1;
        QTest::newRow("Esc on the grid edits the text") << 1 << int(Qt::Key_Escape) << int(Qt::Key_Down) << "B" << "B" << 2;
        QTest::newRow("Enter in the box on the last row") << 2 << int(Qt::Key_X) << int(Qt::Key_Return) << "x" << "x" << 2;
        QTest::newRow("Esc in the box discards") << 1 << int(Qt::Key_X) << int(Qt::Key_Escape) << "x" << "B" << 1;
        QTest::newRow("Up commits and moves up") << 2 << int(Qt::Key_X) << int(Qt::Key_Up) << "x" << "x" << 1;
        QTest::newRow("Up on row 1 stays") << 0 << int(Qt::Key_X) << int(Qt::Key_Up) << "x" << "x" << 0;
        QTest::newRow("Enter on the grid moves down") << 0 << int(Qt::Key_Return) << 0 << "" << "A" << 1;
        QTest::newRow("Enter on the grid's last row") << 2 << int(Qt::Key_Return) << 0 << "" << "C" << 2;
        QTest::newRow("Backspace empties at once") << 1 << int(Qt::Key_Backspace) << 0 << "" << "" << 1;
        QTest::newRow("Delete empties at once") << 1 << int(Qt::Key_Delete) << 0 << "" << "" << 1;
        // clang-format on
    }
    void keysOnTheGridAndInTheEditBox() {
        QFETCH(int, row);
        QFETCH(int, gridKey);
        QFETCH(int, boxKey);
        QFETCH(QString, boxText);
        QFETCH(QString, cell);
        QFETCH(int, currentRow);
        auto dlg = Open(kThree);
        NameListGrid* grid = Grid(*dlg);
        grid->SetCurrent(row, 1);
        QTest::keyClick(grid, Qt::Key(gridKey));
        QPointer<QLineEdit> box = Box(*dlg);
        QCOMPARE(box != nullptr, boxKey != 0);
        if (box) {
            QCOMPARE(box->text(), boxText);
            QCOMPARE(box->cursorPosition(), boxText.size());
            QVERIFY(!box->hasSelectedText());
            QCOMPARE(box->geometry(), grid->visualRect(grid->currentIndex()));
            QTest::keyClick(box, Qt::Key(boxKey));
            QVERIFY(!Box(*dlg));
        }
        QCOMPARE(Cell(*dlg, row), cell);
        QCOMPARE(grid->currentIndex(), dlg->Model().index(currentRow, 1));
        QVERIFY(dlg->Modified());
    }

    void japaneseInputStartsAFreshText() {
        auto dlg = Open(kThree);
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("山"));
        QCoreApplication::sendEvent(Grid(*dlg), &composed);
        QVERIFY(Box(*dlg));
        QCOMPARE(Box(*dlg)->text(), QStringLiteral("山"));
        QVERIFY(dlg->Modified());
    }

    void movingToAnotherCellCommitsTheBox() {
        auto dlg = Open(kThree);
        QTest::keyClick(Grid(*dlg), Qt::Key_Q);
        QTest::keyClicks(Box(*dlg), QStringLiteral("rs"));
        QTest::mouseClick(Grid(*dlg)->viewport(), Qt::LeftButton, {}, CellCenter(*dlg, 2, 3));
        QCOMPARE(Cell(*dlg, 0), QStringLiteral("qrs"));
        QCOMPARE(Grid(*dlg)->currentIndex(), dlg->Model().index(2, 3));
    }

    void closingAsksOnlyAfterATypingKey_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("asks");
        QTest::newRow("arrow keys") << QList<int>{Qt::Key_Down, Qt::Key_Right, Qt::Key_Up} << false;
        QTest::newRow("Enter on the last row changes nothing")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << true;
    }
    void closingAsksOnlyAfterATypingKey() {
        QFETCH(QList<int>, keys);
        QFETCH(bool, asks);
        auto dlg = Open(kThree);
        for (int key : keys) QTest::keyClick(Grid(*dlg), Qt::Key(key));
        if (asks) m_dialogs->Answers = {false};
        dlg->close();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(m_dialogs->Texts(),
                 asks ? QStringList{"未保存のデータがあります\r\n保存しますか？"} : QStringList{});
        QCOMPARE(FileBytes(ListPath()), kThree);
    }

    void yesOnClosingSavesTheTypedText() {
        auto dlg = Open("\"\",\"\",\"\"\r\n");
        QTest::keyClick(Grid(*dlg), Qt::Key_Right);
        QTest::keyClick(Grid(*dlg), Qt::Key_K);
        QTest::keyClicks(Box(*dlg), QStringLiteral("\"m"));
        m_dialogs->Answers = {true};
        dlg->close();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(FileBytes(ListPath()), QByteArray("\"\",\"k\xfa\x57m\",\"\"\r\n"));
        QCOMPARE(m_dialogs->Texts().last(), QStringLiteral("組.nmlに保存しました"));
    }

    void finishSavesInRowOrderAndCloses() {
        auto dlg = Open(kThree);
        Grid(*dlg)->SetCurrent(2, 1);
        Press(*dlg, "cmdMoveName_0");
        Press(*dlg, "cmdInputEnd");
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(
            FileBytes(ListPath()),
            QByteArray("\"A\",\"a2\",\"a3\"\r\n\"C\",\"c2\",\"c3\"\r\n\"B\",\"b2\",\"b3\"\r\n"));
        QCOMPARE(m_dialogs->Transcript.size(), 1);
        QCOMPARE(m_dialogs->Transcript[0].Icon, MsgIcon::Information);
    }

    void aFailedSaveSaysSoAndKeepsTheEditorOpen() {
        auto dlg = Open(kThree);
        QFile::setPermissions(m_folder->NameListFolder(), QFile::ReadOwner | QFile::ExeOwner);
        Press(*dlg, "cmdInputEnd");
        QFile::setPermissions(m_folder->NameListFolder(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!dlg->isVisible()) QSKIP("a read-only folder does not stop this user (root)");
        QCOMPARE(m_dialogs->Transcript[0].Icon, MsgIcon::Warning);
        QVERIFY(!m_dialogs->Texts()[0].contains(QStringLiteral("保存しました")));
        QVERIFY(dlg->Modified());
    }

    void aFullListRefusesNewAndInsert_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("new") << "cmdInputNew";
        QTest::newRow("insert") << "cmdIns";
    }
    void aFullListRefusesNewAndInsert() {
        QFETCH(QString, button);
        auto dlg = Open(ManyEntries(G_Const::MaxNumber));
        Press(*dlg, qPrintable(button));
        QCOMPARE(dlg->Model().rowCount(), G_Const::MaxNumber);
        QCOMPARE(m_dialogs->Texts(), QStringList{kNoMore});
        QCOMPARE(m_dialogs->Transcript[0].Icon, MsgIcon::Warning);
        QVERIFY(dlg->Modified());
    }

    void newAppendsAnEmptyEntryAndInsertGoesBeforeTheCurrent() {
        auto dlg = Open(kThree);
        Press(*dlg, "cmdInputNew");
        QCOMPARE(Grid(*dlg)->currentIndex(), dlg->Model().index(3, 1));
        Grid(*dlg)->SetCurrent(1, 2);
        Press(*dlg, "cmdIns");
        QCOMPARE(FirstItems(dlg->Model().Entries()), (QStringList{"A", "", "B", "C", ""}));
        QCOMPARE(Grid(*dlg)->currentIndex(), dlg->Model().index(1, 1));
        QCOMPARE(Cell(*dlg, 4, 0), QStringLiteral("5"));
    }

    void deleteAsksAndRemovesTheCurrentEntry_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("currentRow");
        QTest::newRow("the only entry is emptied")
            << QByteArray("\"A\",\"x\",\"\"\r\n") << 0 << QStringList{""} << 0;
        QTest::newRow("entry 1 of three") << kThree << 0 << QStringList{"B", "C"} << 0;
        QTest::newRow("entry 3 of three") << kThree << 2 << QStringList{"A", "B"} << 1;
    }
    void deleteAsksAndRemovesTheCurrentEntry() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, row);
        QFETCH(QStringList, left);
        QFETCH(int, currentRow);
        auto dlg = Open(bytes);
        Grid(*dlg)->SetCurrent(row, 2);
        m_dialogs->Answers = {true};
        Press(*dlg, "cmdDel");
        QCOMPARE(m_dialogs->Texts(),
                 QStringList{QStringLiteral("No.%1を消去しますか？").arg(row + 1)});
        QCOMPARE(FirstItems(dlg->Model().Entries()), left);
        QCOMPARE(Grid(*dlg)->currentIndex(), dlg->Model().index(currentRow, 1));
    }

    void moveButtonsStopAtTheEnds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("currentRow");
        const QByteArray two("\"A\",\"\",\"\"\r\n\"B\",\"\",\"\"\r\n");
        QTest::newRow("entry 1 up") << kThree << 0 << 0 << QStringList{"A", "B", "C"} << 0;
        QTest::newRow("last entry down") << kThree << 2 << 1 << QStringList{"A", "B", "C"} << 2;
        QTest::newRow("entry 1 down") << kThree << 0 << 1 << QStringList{"B", "A", "C"} << 1;
        QTest::newRow("entry 2 of two up") << two << 1 << 0 << QStringList{"B", "A"} << 0;
    }
    void moveButtonsStopAtTheEnds() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, row);
        QFETCH(int, button);
        QFETCH(QStringList, order);
        QFETCH(int, currentRow);
        auto dlg = Open(bytes);
        Grid(*dlg)->SetCurrent(row, 3);
        Press(*dlg, button == 0 ? "cmdMoveName_0" : "cmdMoveName_1");
        QCOMPARE(FirstItems(dlg->Model().Entries()), order);
        QCOMPARE(Grid(*dlg)->currentIndex().row(), currentRow);
        QVERIFY(dlg->Modified());
    }

    void draggingEntryFiveOntoRowTwo() {
        auto dlg = Open("1,,\r\n2,,\r\n3,,\r\n4,,\r\n5,,\r\n");
        QWidget* cells = Grid(*dlg)->viewport();
        QTest::mousePress(cells, Qt::LeftButton, {}, CellCenter(*dlg, 4, 0));
        QCOMPARE(cells->cursor().shape(), Qt::SizeAllCursor);
        QTest::mouseRelease(cells, Qt::LeftButton, {}, CellCenter(*dlg, 1, 2));
        QCOMPARE(cells->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(FirstItems(dlg->Model().Entries()), (QStringList{"1", "5", "2", "3", "4"}));
        QCOMPARE(Cell(*dlg, 1, 0), QStringLiteral("2"));
        QCOMPARE(Grid(*dlg)->currentIndex(), dlg->Model().index(1, 1));
        QVERIFY(dlg->Modified());
    }

    void draggingAHeadingMovesItemsAndKeepsTheHeadings_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("items");  // of entry 2
        QTest::newRow("1 onto 2 swaps") << 1 << 2 << QStringList{"b2", "B", "b3"};
        QTest::newRow("1 onto 3") << 1 << 3 << QStringList{"b2", "b3", "B"};
        QTest::newRow("3 onto 1") << 3 << 1 << QStringList{"b3", "B", "b2"};
    }
    void draggingAHeadingMovesItemsAndKeepsTheHeadings() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, items);
        auto dlg = Open(kThree);
        QWidget* headings = Grid(*dlg)->horizontalHeader()->viewport();
        QTest::mousePress(headings, Qt::LeftButton, {}, HeadingCenter(*dlg, from));
        QTest::mouseRelease(headings, Qt::LeftButton, {}, HeadingCenter(*dlg, to));
        const auto& e = dlg->Model().Entries()[1];
        QCOMPARE(QStringList(e.Items.begin(), e.Items.end()), items);
        QCOMPARE(dlg->Model().headerData(1, Qt::Horizontal).toString(), QStringLiteral("項目1"));
        QCOMPARE(Grid(*dlg)->currentIndex(), dlg->Model().index(0, to));
    }

    void aDragReleasedOutsideTheCellsChangesNothing() {
        auto dlg = Open(kThree);
        QWidget* cells = Grid(*dlg)->viewport();
        QTest::mousePress(cells, Qt::LeftButton, {}, CellCenter(*dlg, 2, 0));
        QTest::mouseRelease(cells, Qt::LeftButton, {}, QPoint(5, -5));  // on the headings
        QCOMPARE(FirstItems(dlg->Model().Entries()), (QStringList{"A", "B", "C"}));
        QVERIFY(dlg->Modified());
    }

    void pastingABlockFillsFromTheCurrentCell() {
        auto dlg = Open(kThree);
        Grid(*dlg)->SetCurrent(2, 2);
        // A cell with a line break comes quoted from a spreadsheet: one cell, not two rows.
        QGuiApplication::clipboard()->setText(
            QStringLiteral("p\t\"q1\nq2 \"\"x\"\"\"\tr\r\ns\tt\tu\r\n"));
        QTest::keyClick(Grid(*dlg), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dlg->Model().rowCount(), 4);
        QCOMPARE(dlg->Model().Entries()[2], Entry("C", "p", "q1 q2 ＂x＂"));
        QCOMPARE(dlg->Model().Entries()[3], Entry("", "s", "t"));
        QVERIFY(dlg->Modified());
        QVERIFY(m_dialogs->Transcript.isEmpty());
    }

    void pastingBeyondTheLimitWarnsOnce() {
        auto dlg = Open(ManyEntries(G_Const::MaxNumber));
        Grid(*dlg)->SetCurrent(G_Const::MaxNumber - 1, 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("a\nb\nc\n"));
        QTest::keyClick(Grid(*dlg), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dlg->Model().rowCount(), G_Const::MaxNumber);
        QCOMPARE(Cell(*dlg, G_Const::MaxNumber - 1), QStringLiteral("a"));
        QCOMPARE(m_dialogs->Texts(), QStringList{kNoMore});
    }

    void captionsAreNotCut() {
        auto dlg = Open(NameListFile::Format(
            {Entry("山田 太郎", "3年2組", "男"), Entry("佐藤 花子", "3年2組", "女")}));
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        QCOMPARE(CutCaptions(*dlg), QStringList());
        QTest::keyClick(Grid(*dlg), Qt::Key_Space);
        SaveScreenshot(*dlg, QStringLiteral("name-list-editor"));
    }
};

QTEST_MAIN(NameListEditorTest)
#include "tst_namelisteditor.moc"
