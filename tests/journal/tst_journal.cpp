#include <QAbstractItemModelTester>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "DeviceSyncDouble.h"
#include "DialogsDouble.h"
#include "FaultInjection.h"
#include "FileBytes.h"
#include "FileResult.h"
#include "JournalModel.h"
#include "ReadingJournal.h"
#include "frmJournal.h"

namespace {
const QDateTime kMorning(QDate(2026, 12, 8), QTime(10, 42, 5));
const QByteArray kHeader = "ID,時刻,表示No,種類,値,出来事,書込先\r\n";
const QByteArray kFirst = "1,2026-12-08 10:42:05,12,身長,137.0,受信,\r\n";

// Stands in for the main window: logs each write and answers from `Accepts`.
class WriterDouble : public JournalWriter {
public:
    bool WriteReadingTo(int number, const JournalEntry& reading) override {
        Calls << QStringLiteral("No.%1 %2").arg(number).arg(reading.Value);
        return Accepts;
    }
    bool Accepts = true;
    QStringList Calls;
};

QStringList Summary(const QList<JournalEntry>& entries) {
    QStringList lines;
    for (const JournalEntry& e : entries)
        lines << QStringLiteral("%1 %2 %3").arg(e.Id).arg(e.Value, JournalModel::StateText(e));
    return lines;
}

// "12H 12W": the shown number and the kind (H, S or W) of each reading.
QList<JournalEntry> Readings(const QString& tokens) {
    QList<JournalEntry> entries;
    for (const QString& token : tokens.split(u' '))
        entries.append({0, kMorning, token.chopped(1).toInt(),
                        MeasuredQuantity(QStringLiteral("HSW").indexOf(token.back())), token});
    return entries;
}
}  // namespace

class JournalTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_org;
    QDateTime m_now;

    std::function<QDateTime()> m_clock = [this] { return m_now; };

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_org = m_dir->filePath(QStringLiteral("Org"));
        QDir().mkpath(m_org);
        m_now = kMorning;
    }

    void eachFateReadsBack_data() {
        QTest::addColumn<ReadingFate>("fate");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("line");  // its end in the file
        // clang-format off
        QTest::newRow("pending") << ReadingFate::Pending << 0 << "未書込" << "未書込,";
        QTest::newRow("written automatically") << ReadingFate::WrittenAuto << 12 << "No.12 に自動書込" << "自動書込,12";
        QTest::newRow("written by 入力") << ReadingFate::WrittenByInput << 3 << "No.3 に入力で書込" << "入力書込,3";
        QTest::newRow("written from the journal") << ReadingFate::WrittenFromJournal << 1500 << "No.1500 に受信履歴から書込" << "履歴から書込,1500";
        QTest::newRow("replaced") << ReadingFate::Replaced << 0 << "未書込（新しい測定値で置換）" << "置換,";
        QTest::newRow("discarded") << ReadingFate::Discarded << 0 << "未書込（保存しないで破棄）" << "破棄,";
        QTest::newRow("cleared") << ReadingFate::Cleared << 0 << "未書込（消去）" << "消去,";
        QTest::newRow("pending at exit") << ReadingFate::PendingAtExit << 0 << "未書込（終了時に保留）" << "終了時未書込,";
        QTest::newRow("write failed") << ReadingFate::WriteFailed << 7 << "未書込（書込に失敗）" << "書込失敗,7";
        // clang-format on
    }
    void eachFateReadsBack() {
        QFETCH(ReadingFate, fate);
        QFETCH(int, number);
        QFETCH(QString, state);
        QFETCH(QString, line);
        ReadingJournal journal(m_org, m_clock);
        const int id = journal.Received(12, MeasuredQuantity::Weight, QStringLiteral(" 30,5"));
        m_now = m_now.addSecs(4);
        journal.SetFate({id}, ReadingFate::WriteFailed, 12);  // the last fate counts
        journal.SetFate({id}, fate, number);
        QCOMPARE(FileBytes(m_org + QStringLiteral("/journal/2026-12-08.csv")),
                 kHeader + "1,2026-12-08 10:42:05,12,体重,\" 30,5\",受信,\r\n" +
                     "1,2026-12-08 10:42:09,,,,書込失敗,12\r\n1,2026-12-08 10:42:09,,,," +
                     line.toUtf8() + "\r\n");
        QCOMPARE(Summary(journal.Today()), QStringList{QStringLiteral("1  30,5 ") + state});
    }

    void parseSkipsWhatIsNotWhole_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("readings");
        const QStringList first{QStringLiteral("1 137.0 未書込")};
        // clang-format off
        QTest::newRow("reading torn by a crash") << kHeader + kFirst + "2,2026-12-08 10:42:06,12,体" << first;
        QTest::newRow("fate torn inside its number") << kHeader + kFirst + "1,2026-12-08 10:42:09,,,,自動書込,1" << first;
        QTest::newRow("garbage between readings") << kHeader + kFirst + "\x01\xff,,\"\r\n2,2026-12-08 10:42:06,12,体重,30.0,受信,\r\n" << first + QStringList{"2 30.0 未書込"};
        QTest::newRow("fate of an unknown id") << kHeader + kFirst + "9,2026-12-08 10:42:09,,,,自動書込,3\r\n" << first;
        QTest::newRow("quote left open") << kHeader + kFirst + "2,2026-12-08 10:42:06,12,体重,\"30.0,受信,\r\n" << first;
        // clang-format on
    }
    void parseSkipsWhatIsNotWhole() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, readings);
        QCOMPARE(Summary(JournalFormat::Parse(bytes)), readings);
    }

    void idsContinueAfterTheDaysFile_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QStringList>("readings");
        // clang-format off
        QTest::newRow("new file") << 0 << QByteArray() << QStringList{"1 150.5 未書込"};
        QTest::newRow("after a run") << 2 << QByteArray() << QStringList{"1 1 未書込", "2 2 未書込", "3 150.5 未書込"};
        QTest::newRow("after a crash mid-line") << 2 << QByteArray("3,2026-12-08 10:4") << QStringList{"1 1 未書込", "2 2 未書込", "4 150.5 未書込"};
        // clang-format on
    }
    void idsContinueAfterTheDaysFile() {
        QFETCH(int, before);
        QFETCH(QByteArray, tail);
        QFETCH(QStringList, readings);
        ReadingJournal firstRun(m_org, m_clock);
        for (int i = 1; i <= before; ++i)
            firstRun.Received(12, MeasuredQuantity::Height, QString::number(i));
        const QString day = firstRun.Path();
        QVERIFY(tail.isEmpty() || FileWrite::ReplaceContents(day, FileBytes(day) + tail));
        ReadingJournal secondRun(m_org, m_clock);
        secondRun.Received(13, MeasuredQuantity::Height, QStringLiteral("150.5"));
        QCOMPARE(Summary(secondRun.Today()), readings);
    }

    void aFateGoesToTheDayOfItsReading() {
        m_now = QDateTime(QDate(2026, 12, 8), QTime(23, 59, 58));
        ReadingJournal journal(m_org, m_clock);
        journal.Received(12, MeasuredQuantity::Height, QStringLiteral("137.0"));
        m_now = m_now.addSecs(5);
        journal.Received(13, MeasuredQuantity::Height, QStringLiteral("150.5"));
        journal.SetFate({1}, ReadingFate::WrittenAuto, 12);
        QCOMPARE(Summary(journal.Today()), QStringList{"2 150.5 未書込"});
        QCOMPARE(Summary(JournalFormat::Parse(FileBytes(journal.PathOf(kMorning.date())))),
                 QStringList{"1 137.0 No.12 に自動書込"});
    }

    void byPersonStartsAtANewHeightOrNumber_data() {
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("people");  // readings per person
        // clang-format off
        QTest::newRow("height after weight") << "12H 12W 12H 12W" << "2 2";
        QTest::newRow("re-measured height and weight") << "12H 12H 12W 12W" << "4";
        QTest::newRow("sitting height after weight") << "5H 5S 5W 5S" << "3 1";
        QTest::newRow("weight first") << "5W 5H" << "1 1";
        QTest::newRow("number changed") << "5H 6W" << "1 1";
        // clang-format on
    }
    void byPersonStartsAtANewHeightOrNumber() {
        QFETCH(QString, readings);
        QFETCH(QString, people);
        QStringList sizes;
        for (const QList<JournalEntry>& person : JournalFormat::ByPerson(Readings(readings)))
            sizes << QString::number(person.size());
        QCOMPARE(sizes.join(u' '), people);
    }

    void aJournalThatCannotBeWrittenFailsSoftly_data() {
        QTest::addColumn<QString>("trouble");
        for (const char* trouble : {"no Org", "journal is a file", "day's file is a folder",
                                    "day's file is a device", "sync fails", "disk full mid-line"})
            QTest::newRow(trouble) << trouble;
    }
    void aJournalThatCannotBeWrittenFailsSoftly() {
        QFETCH(QString, trouble);
#ifdef Q_OS_WIN
        if (trouble == "day's file is a device" || trouble == "disk full mid-line")
            QSKIP("a link to a Linux device; the file-size limit is Linux's");
#endif
        DeviceSyncDouble sync;
        sync.Fails = trouble == "sync fails";
        const QString journalFolder = m_org + QStringLiteral("/journal");
        const QString day = journalFolder + QStringLiteral("/2026-12-08.csv");
        if (trouble == "no Org") QDir(m_org).removeRecursively();
        if (trouble == "journal is a file") QFile(journalFolder).open(QIODevice::WriteOnly);
        if (trouble.startsWith("day")) QDir().mkpath(journalFolder);
        if (trouble == "day's file is a folder") QDir().mkpath(day);
        if (trouble == "day's file is a device")
            QVERIFY(QFile::link(QStringLiteral("/dev/full"), day));
        std::optional<FileSizeLimit> limit;
        if (trouble == "disk full mid-line") limit.emplace(kHeader.size() + 20);
        ReadingJournal journal(m_org, m_clock, sync);
        QCOMPARE(journal.Received(12, MeasuredQuantity::Height, QStringLiteral("137.0")), 1);
        journal.SetFate({1}, ReadingFate::WrittenAuto, 12);
        QVERIFY(!journal.Ok() && !journal.LastError().isEmpty());
        QCOMPARE(QFileInfo::exists(m_org), trouble != "no Org");
        if (trouble != "disk full mid-line") return;
        limit.reset();  // room again: the cut line stays apart from the next
        journal.Received(13, MeasuredQuantity::Height, QStringLiteral("150.5"));
        QCOMPARE(Summary(journal.Today()), QStringList{"2 150.5 未書込"});
    }

    void theWindowWritesTheChosenReadings_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("wholePerson");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("accepts");
        QTest::addColumn<QStringList>("writes");
        // clang-format off
        QTest::newRow("a replaced reading to another number") << 0 << false << 20 << true << QStringList{"No.20 137.0"};
        QTest::newRow("a whole person to its number") << 3 << true << 0 << true << QStringList{"No.13 141.0", "No.13 36.0"};
        QTest::newRow("the writer refuses") << 3 << true << 13 << false << QStringList{"No.13 141.0"};
        // clang-format on
    }
    void theWindowWritesTheChosenReadings() {
        QFETCH(int, row);
        QFETCH(bool, wholePerson);
        QFETCH(int, number);
        QFETCH(bool, accepts);
        QFETCH(QStringList, writes);
        ReadingJournal journal(m_org, m_clock);
        const auto height = MeasuredQuantity::Height, weight = MeasuredQuantity::Weight;
        journal.Received(12, height, QStringLiteral("137.0"));
        journal.SetFate({1}, ReadingFate::Replaced);
        journal.Received(12, height, QStringLiteral("139.5"));
        journal.Received(12, weight, QStringLiteral("34.5"));
        journal.SetFate({2, 3}, ReadingFate::WrittenAuto, 12);
        journal.Received(13, height, QStringLiteral("141.0"));
        journal.Received(13, weight, QStringLiteral("36.0"));
        DialogsDouble dialogs;
        WriterDouble writer;
        writer.Accepts = accepts;
        frmJournal window(dialogs, journal, writer);
        QAbstractItemModelTester tester(window.grdJournal->model());
        QVERIFY(!window.cmdWrite->isEnabled());
        window.grdJournal->selectRow(row);
        if (wholePerson) window.cmdChoosePerson->click();
        if (number > 0) window.spnNumber->setValue(number);
        window.cmdWrite->click();
        QCOMPARE(writer.Calls, writes);
        const QModelIndex state = window.Model().index(row, JournalModel::FateColumn);
        QCOMPARE(state.data().toString().startsWith(QStringLiteral("No.")), accepts);
        QCOMPARE(state.data(Qt::FontRole).value<QFont>().bold(), !accepts);
        QVERIFY(dialogs.Transcript.isEmpty());
    }
};

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
