#include <QAbstractItemModelTester>
#include <QTest>
#include <memory>

#include "NameListModel.h"
#include "NameListTestSupport.h"

class NameListModelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<NameListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    // Entries named "1" .. "n".
    void Fill(int n) {
        QList<NameListEntry> entries;
        for (int k = 1; k <= n; ++k)
            entries << Entry(QString::number(k), QStringLiteral("b%1").arg(k),
                             QStringLiteral("c%1").arg(k));
        m_model->SetEntries(entries);
    }
    QStringList Numbers() const {
        QStringList numbers;
        for (int r = 0; r < m_model->rowCount(); ++r)
            numbers << m_model->index(r, 0).data().toString();
        return numbers;
    }

private slots:
    void init() {
        m_model = std::make_unique<NameListModel>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup() {
        m_tester.reset();
        m_model.reset();
    }

    void moveEntryShiftsTheOnesBetween_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("entry 5 onto row 2") << 4 << 1 << QStringList{"1", "5", "2", "3", "4"};
        QTest::newRow("entry 1 onto row 4") << 0 << 3 << QStringList{"2", "3", "4", "1", "5"};
        QTest::newRow("one down") << 2 << 3 << QStringList{"1", "2", "4", "3", "5"};
        QTest::newRow("onto itself") << 2 << 2 << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("beyond the end") << 2 << 5 << QStringList{"1", "2", "3", "4", "5"};
    }
    void moveEntryShiftsTheOnesBetween() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, order);
        Fill(5);
        m_model->MoveEntry(from, to);
        QCOMPARE(FirstItems(m_model->Entries()), order);
        QCOMPARE(Numbers(), (QStringList{"1", "2", "3", "4", "5"}));
        QCOMPARE(m_model->Entries()[order.indexOf("5")].Items[2], QStringLiteral("c5"));
    }

    void movingAnItemColumnMovesEveryEntrysItems_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("items");  // of entry 2
        QTest::newRow("1 onto 2 swaps") << 1 << 2 << QStringList{"b2", "2", "c2"};
        QTest::newRow("1 onto 3") << 1 << 3 << QStringList{"b2", "c2", "2"};
        QTest::newRow("3 onto 1") << 3 << 1 << QStringList{"c2", "2", "b2"};
        QTest::newRow("the number column stays") << 0 << 2 << QStringList{"2", "b2", "c2"};
    }
    void movingAnItemColumnMovesEveryEntrysItems() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, items);
        Fill(3);
        m_model->MoveItemColumn(from, to);
        const auto& e = m_model->Entries()[1];
        QCOMPARE(QStringList(e.Items.begin(), e.Items.end()), items);
        QCOMPARE(m_model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("項目1"));
    }

    void insertAndRemoveRenumber() {
        Fill(3);
        QVERIFY(m_model->Insert(1));
        QCOMPARE(FirstItems(m_model->Entries()), (QStringList{"1", "", "2", "3"}));
        QCOMPARE(Numbers(), (QStringList{"1", "2", "3", "4"}));
        QVERIFY(m_model->Remove(0));
        QCOMPARE(FirstItems(m_model->Entries()), (QStringList{"", "2", "3"}));
        QCOMPARE(Numbers(), (QStringList{"1", "2", "3"}));
    }

    void typedQuotesAndLineBreaksAreStoredSafely() {
        Fill(1);
        QVERIFY(m_model->setData(m_model->index(0, 2), QStringLiteral("\"A\"\r\nB")));
        QCOMPARE(m_model->Entries()[0].Items[1], QStringLiteral("＂A＂  B"));
        QVERIFY(!m_model->setData(m_model->index(0, 0), QStringLiteral("9")));
        QCOMPARE(m_model->index(0, 0).data().toString(), QStringLiteral("1"));
    }

    void pasteFromTheThirdItemDropsCellsToItsRight() {
        Fill(1);
        QVERIFY(m_model->Paste(0, 3, {{"x", "y"}}));
        QCOMPARE(m_model->Entries()[0], Entry("1", "b1", "x"));
    }
};

QTEST_MAIN(NameListModelTest)
#include "tst_namelistmodel.moc"
