#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <memory>

#include "G_Param.h"
#include "PreviewModel.h"
#include "RecordFile.h"
#include "TestProgramFolder.h"
#include "WindowTestSupport.h"
#include "frmPreview.h"

class PreviewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DisplayRecorder> m_display;

    // Captions, then the measurement records.
    void WriteSet(const MeasureRecord& captions, const QList<MeasureRecord>& rows) {
        QVERIFY(RecordFile::Replace(m_folder->RecordFile(),
                                    QList<MeasureRecord>{MeasureRecord{}, captions} + rows));
    }
    static QString Cell(const QTableView& grid, int row, int column) {
        return grid.model()->index(row, column).data().toString();
    }
    static QStringList Headings(const QTableView& grid) {
        QStringList headings;
        for (int c = 0; c < grid.model()->columnCount(); ++c)
            headings << grid.model()->headerData(c, Qt::Horizontal).toString();
        return headings;
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_display = std::make_unique<DisplayRecorder>();
    }

    void headingsTakeTheCaptionsOrNumberedItems() {
#ifdef Q_OS_WIN
        QSKIP("column widths follow the fonts, which Wine draws with other metrics");
#endif
        MeasureRecord captions;
        captions.SubLabel2 = QStringLiteral(" 氏名 ");
        WriteSet(captions, {MeasureRecord{}});
        frmPreview window(*m_display);
        QCOMPARE(Headings(*window.fgdPreview),
                 QStringList({"No.", "項目1", "氏名", "項目3", "身長[cm]", "体重[kg]", "BMI値",
                              "座高[cm]", "BMI適正体重[kg]", "日比式適正体重(男性)[kg]",
                              "日比式適正体重(女性)[kg]", "日比式肥満度(男性)[%]",
                              "日比式肥満度(女性)[%]"}));
        QCOMPARE(window.fgdPreview->columnWidth(0), 33);
        QCOMPARE(window.fgdPreview->columnWidth(12), 160);
    }

    void rowsFollowRecordPositionsAndShowWholeNumbersWithADecimal() {
        MeasureRecord first;
        first.SubLabel1 = QStringLiteral("山田 花子");
        first.Values.Height = QStringLiteral("170");
        first.Values.Weight = QStringLiteral("  60.5");
        first.Values.Bmi = QStringLiteral("21");
        first.Values.SittingHeight = QStringLiteral("90");
        first.Values.BmiStdWeight = QStringLiteral("63.58");
        MeasureRecord third;
        third.Values.HibiObesityFemale = QStringLiteral("-5");
        WriteSet({}, {first, MeasureRecord{}, third});
        frmPreview window(*m_display);
        QAbstractItemModelTester tester(window.fgdPreview->model());
        const QTableView& grid = *window.fgdPreview;
        QCOMPARE(grid.model()->rowCount(), 3);
        QCOMPARE(Cell(grid, 0, 0), QStringLiteral("1"));
        QCOMPARE(Cell(grid, 0, 1), QStringLiteral("山田 花子"));
        QCOMPARE(Cell(grid, 0, 4), QStringLiteral("170.0"));
        QCOMPARE(Cell(grid, 0, 5), QStringLiteral("60.5"));
        QCOMPARE(Cell(grid, 0, 6), QStringLiteral("21.0"));
        QCOMPARE(Cell(grid, 0, 7), QStringLiteral("90.0"));
        QCOMPARE(Cell(grid, 0, 8), QStringLiteral("63.58"));
        // The blank record keeps its numbered row; a blank height stays empty.
        QCOMPARE(Cell(grid, 1, 0), QStringLiteral("2"));
        QCOMPARE(Cell(grid, 1, 4), QString());
        QCOMPARE(Cell(grid, 2, 0), QStringLiteral("3"));
        QCOMPARE(Cell(grid, 2, 12), QStringLiteral("-5"));  // derived values are not touched
        QVERIFY(!(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable));
    }

    void onlyTheFirstRecordShowsOneEmptyRow() {
        WriteSet({}, {MeasureRecord{}});
        frmPreview window(*m_display);
        QCOMPARE(window.fgdPreview->model()->rowCount(), 1);
        QCOMPARE(Cell(*window.fgdPreview, 0, 0), QStringLiteral("1"));
        QCOMPARE(Cell(*window.fgdPreview, 0, 4), QString());
    }

    void theGridFollowsTheWindowButNeverShrinksAway() {
        WriteSet({}, {MeasureRecord{}});
        frmPreview window(*m_display);
        window.show();
        window.resize(700, 400);
        QTRY_COMPARE(window.fgdPreview->geometry(), QRect(6, 36, 680, 332));
        window.resize(15, 50);
        QTest::qWait(20);
        QCOMPARE(window.fgdPreview->size(), QSize(680, 332));
    }

    void closingRefreshesTheMainWindow() {
        WriteSet({}, {MeasureRecord{}});
        frmPreview window(*m_display);
        window.show();
        QVERIFY(m_display->Calls.isEmpty());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(m_display->Calls, QStringList{QStringLiteral("RefreshDisplay")});
    }

    void aFullSetOpensAtOnce() {
        QList<MeasureRecord> rows(1500);
        rows[0].SubLabel1 = QStringLiteral("1年2組");
        rows[0].SubLabel3 = QStringLiteral("山田 太郎");
        rows[0].Values.Height = QStringLiteral("  152.4");
        rows[0].Values.BmiStdWeight = QStringLiteral("51.10");
        rows[1499].SubLabel1 = QStringLiteral("最後");
        MeasureRecord captions;
        captions.SubLabel2 = QStringLiteral("出席番号");
        WriteSet(captions, rows);
        frmPreview window(*m_display);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.fgdPreview->model()->rowCount(), 1500);
        QCOMPARE(Cell(*window.fgdPreview, 1499, 1), QStringLiteral("最後"));
        QCOMPARE(CutCaptions(window), QStringList());
        SaveScreenshot(window, QStringLiteral("export-preview"));
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
