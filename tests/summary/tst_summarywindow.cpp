#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <memory>

#include "DialogsDouble.h"
#include "FileBytes.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "TestProgramFolder.h"
#include "frmSummary.h"

class SummaryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<DialogsDouble> m_dialogs;

    // Captions 性別, 学年, 組; a boy of 小6 at 20 % over, a girl, a pupil not yet measured.
    void WriteSet() {
        QList<MeasureRecord> records(5);
        records[0].SubLabel1 = QStringLiteral("春の身体測定");
        records[1].SubLabel1 = QStringLiteral("性別");
        records[1].SubLabel2 = QStringLiteral("学年");
        records[1].SubLabel3 = QStringLiteral("組");
        const auto pupil = [&](int i, const char* sex, const char* height, const char* weight) {
            records[i].SubLabel1 = QString::fromUtf8(sex);
            records[i].SubLabel2 = QStringLiteral("小6");
            records[i].SubLabel3 = QStringLiteral("1組");
            records[i].Values.Height = QString::fromUtf8(height);
            records[i].Values.Weight = QString::fromUtf8(weight);
        };
        pupil(2, "男", "145.0", "46.0");
        pupil(3, "女", "145.0", "37.6");
        pupil(4, "男", "", "");
        QVERIFY(RecordFile::Replace(m_folder->RecordFile(), records));
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        m_dialogs = std::make_unique<DialogsDouble>();
        WriteSet();
    }

    void readsItemsByTheirCaptionsAndRemembersTheChoice() {
        {
            frmSummary window(*m_dialogs, G_Param.WorkFolder);
            QCOMPARE(window.cboSexItem->currentText(), QStringLiteral("性別"));
            QVERIFY(window.optAge_1->isChecked());
            QCOMPARE(window.cboGroupItem->currentText(), QStringLiteral("組"));
            QCOMPARE(window.fgdPupils->model()->rowCount(), 3);
            QCOMPARE(window.fgdPupils->model()->index(0, 10).data().toString(),
                     QStringLiteral("軽度肥満"));
            QVERIFY(!window.chtSummary->chart()->series().isEmpty());
            window.optAge_2->click();
            window.spnAge->setValue(9);
            window.cboGroupItem->setCurrentIndex(0);
        }
        frmSummary again(*m_dialogs, G_Param.WorkFolder);
        QVERIFY(again.optAge_2->isChecked());
        QCOMPARE(again.spnAge->value(), 9);
        QCOMPARE(again.Choice().GroupItem, 0);
        QCOMPARE(again.Summary().Groups.first().Group, QStringLiteral("全体"));
        QVERIFY(!QFile::exists(m_folder->SettingsFile()));  // user.dat is not where it goes
    }

    void savesThePdfWithItsFontEmbedded() {
        frmSummary window(*m_dialogs, G_Param.WorkFolder);
        const QString target = m_folder->Path() + QStringLiteral("/集計.pdf");
        m_dialogs->SavePaths = {target};
        window.cmdSavePdf->click();
        QCOMPARE(m_dialogs->Texts().last(), QStringLiteral("保存しました"));
        const QByteArray pdf = FileBytes(target);
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.contains("/FontFile"));
    }

    // The targets the command line refuses (one table for both) are refused here too.
    void aFailedSaveSaysSoOnce_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");  // in the program folder, or absolute
        for (const char* button : {"cmdSavePdf", "cmdSaveCsv"})
            for (const char* target : {"gone/out", "Org/zqmtemp.rdm", "/dev/full"})
                QTest::addRow("%s %s", button, target) << button << target;
    }
    void aFailedSaveSaysSoOnce() {
        QFETCH(QString, button);
        QFETCH(QString, target);
        frmSummary window(*m_dialogs, G_Param.WorkFolder);
        const QByteArray records = FileBytes(m_folder->RecordFile());
        m_dialogs->SavePaths = {target.startsWith(u'/') ? target
                                                        : m_folder->Path() + u'/' + target};
        window.findChild<QPushButton*>(button)->click();
        QCOMPARE(FileBytes(m_folder->RecordFile()), records);
        QCOMPARE(m_dialogs->Transcript.size(), 2);  // the file dialog, one warning
        QCOMPARE(m_dialogs->Transcript.last().Icon, MsgIcon::Warning);
        QVERIFY(!m_dialogs->Texts().contains(QStringLiteral("保存しました")));
    }

    void anExistingFileIsKeptUnlessTheUserSaysYes() {
        frmSummary window(*m_dialogs, G_Param.WorkFolder);
        const QString target = m_folder->Path() + QStringLiteral("/old.csv");
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        m_dialogs->SavePaths = {target};
        m_dialogs->Answers = {false};
        window.cmdSaveCsv->click();
        QCOMPARE(FileBytes(target), QByteArray("old"));
        QCOMPARE(m_dialogs->Transcript[1].Default, QStringLiteral("no"));
    }
};

QTEST_MAIN(SummaryWindowTest)
#include "tst_summarywindow.moc"
