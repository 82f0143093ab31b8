
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

#include "DeviceSyncDouble.h"
#include "FaultInjection.h"
#include "FileBytes.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "TestProgramFolder.h"
#include "mdlPublicWriteFunc.h"

namespace {
QByteArray Spaces(int n) {
    return QByteArray(n, ' ');
}

void SetFileBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A record with sub-label 1 and height set, and its 150 bytes written out by hand.
MeasureRecord Numbered(const QString& label, const QString& height) {
    MeasureRecord r;
    r.SubLabel1 = label;
    r.Values.Height = height;
    return r;
}
QByteArray NumberedBytes(const QByteArray& label, const QByteArray& height) {
    return label + Spaces(20 - label.size()) + Spaces(40) + Spaces(10) + height +
           Spaces(10 - height.size()) + Spaces(70);
}
}  // namespace

class TestRecordFile : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgramFolder> m_folder;
    QString Path() const { return m_folder->RecordFile(); }

private slots:
    void init() { m_folder = std::make_unique<TestProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void emptyOrMissingFileHasNoRecords_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << false;
        QTest::newRow("empty") << true;
    }
    void emptyOrMissingFileHasNoRecords() {
        QFETCH(bool, exists);
        if (exists) SetFileBytes(Path(), {});
        QCOMPARE(RecordFile::Count(Path()), 0);
        for (int r : {1, 2, 3}) {
            const RecordFile::ReadResult result = RecordFile::Read(Path(), r);
            QVERIFY(result.PastEnd);
            QCOMPARE(result.Record, MeasureRecord{});
        }
        QVERIFY(RecordFile::ReadAll(Path()).isEmpty());
        QCOMPARE(QFileInfo(Path()).size(), 0);  // reading created it, empty
    }

    void writingRecord3OfEmptyFileFillsRecords1And2WithSpaces_data() {
        emptyOrMissingFileHasNoRecords_data();
    }
    void writingRecord3OfEmptyFileFillsRecords1And2WithSpaces() {
        QFETCH(bool, exists);
        if (exists) SetFileBytes(Path(), {});
        QVERIFY(RecordFile::Write(Path(), 3, Numbered(u"No1"_qs, u"170.2"_qs)));
        QCOMPARE(FileBytes(Path()), Spaces(300) + NumberedBytes("No1", "170.2"));
        QCOMPARE(RecordFile::Count(Path()), 3);
        QCOMPARE(RecordFile::Read(Path(), 1).Record, MeasureRecord{});
        QVERIFY(!RecordFile::Read(Path(), 2).PastEnd);
    }

    void countDropsAPartialRecord_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("count");
        QTest::newRow("149") << 149 << 0;
        QTest::newRow("150") << 150 << 1;
        QTest::newRow("299") << 299 << 1;
        QTest::newRow("450") << 450 << 3;
        QTest::newRow("451") << 451 << 3;
        QTest::newRow("full set") << 225300 << 1502;
    }
    void countDropsAPartialRecord() {
        QFETCH(int, length);
        QFETCH(int, count);
        SetFileBytes(Path(), QByteArray(length, 'x'));
        QCOMPARE(RecordFile::Count(Path()), count);
        QCOMPARE(RecordFile::ReadAll(Path()).size(), count);
        QCOMPARE(RecordFile::Read(Path(), count).PastEnd, count == 0);
        QVERIFY(RecordFile::Read(Path(), count + 1).PastEnd);
    }

    void writingBeyondAPartialRecordFillsWholeBlankRecords() {
        SetFileBytes(Path(), NumberedBytes("H", "") + "partial");
        QVERIFY(RecordFile::Write(Path(), 3, Numbered(u"No1"_qs, u"60"_qs)));
        QCOMPARE(FileBytes(Path()),
                 NumberedBytes("H", "") + Spaces(150) + NumberedBytes("No1", "60"));
    }

    void recordWithUndecodableBytesReadsWithoutCrash() {
        SetFileBytes(Path(), Spaces(300) + QByteArray("\x81\x01\xfd\x93") + Spaces(146));
        const RecordFile::ReadResult result = RecordFile::Read(Path(), 3);
        QVERIFY(!result.PastEnd);
        QVERIFY(result.Record.SubLabel1.Value().contains(QChar(QChar::ReplacementCharacter)));
        QCOMPARE(RecordFile::ReadAll(Path()).size(), 3);
    }

    void readOnlyFileStillReads() {
        SetFileBytes(Path(), NumberedBytes("No0", "150"));
        QFile::setPermissions(Path(), QFile::ReadOwner | QFile::ReadUser);
        const RecordFile::ReadResult result = RecordFile::Read(Path(), 1);
        QVERIFY(!result.PastEnd);
        QCOMPARE(result.Record, Numbered(u"No0"_qs, u"150"_qs));
    }

    void writeHeaderWritesRecords1And2AndLeavesRecord2InTheBuffer() {
        SetFileBytes(Path(), Spaces(300) + NumberedBytes("No1", "170"));
        G_Param.Title = u"身長測定"_qs;
        G_Param.MeasureDate = u"2024年5月1日"_qs;
        G_Param.Person = u"担当者"_qs;
        G_Param.SubLabelCaption1 = u"組"_qs;
        G_Param.SubLabelCaption2 = u"番号"_qs;
        G_Param.SubLabelCaption3 = u"氏名"_qs;
        WriteHeader();
        const QByteArray record1 = QByteArray("\x90\x67\x92\xb7\x91\xaa\x92\xe8") + Spaces(12) +
                                   QByteArray(
                                       "2024\x94\x4e"
                                       "5\x8c\x8e"
                                       "1\x93\xfa") +
                                   Spaces(8) + QByteArray("\x92\x53\x93\x96\x8e\xd2") + Spaces(14) +
                                   Spaces(90);
        const QByteArray record2 = QByteArray("\x91\x67") + Spaces(18) +
                                   QByteArray("\x94\xd4\x8d\x86") + Spaces(16) +
                                   QByteArray("\x8e\x81\x96\xbc") + Spaces(16) + Spaces(90);
        QCOMPARE(FileBytes(Path()), record1 + record2 + NumberedBytes("No1", "170"));
        QCOMPARE(G_Param.RecordBuffer.SubLabel1.Trimmed(), u"組"_qs);
        QCOMPARE(G_Param.RecordBuffer.SubLabel3.Trimmed(), u"氏名"_qs);
        QVERIFY(G_Param.RecordBuffer.Values.Height.IsBlank());
    }

    void forceDeleteRemovesAReadOnlyFile() {
        SetFileBytes(Path(), Spaces(450));
        QVERIFY(QFile::setPermissions(Path(), QFile::ReadOwner | QFile::ReadUser));
        QVERIFY(RecordFile::ForceDelete(Path()));
        QVERIFY(!QFileInfo::exists(Path()));
        QVERIFY(RecordFile::ForceDelete(Path()));  // nothing left to delete is success
    }

    void replaceBuildsTheWholeFile_data() {
        QTest::addColumn<bool>("oldReadOnly");
        QTest::newRow("writable old file") << false;
        QTest::newRow("read-only old file") << true;
    }
    void replaceBuildsTheWholeFile() {
        QFETCH(bool, oldReadOnly);
        SetFileBytes(Path(), QByteArray(5 * 150, 'x'));
        if (oldReadOnly) QFile::setPermissions(Path(), QFile::ReadOwner | QFile::ReadUser);
        const QList<MeasureRecord> records{MeasureRecord{}, MeasureRecord{},
                                           Numbered(u"No1"_qs, u"170"_qs)};
        QVERIFY(RecordFile::Replace(Path(), records));
        QCOMPARE(FileBytes(Path()), Spaces(300) + NumberedBytes("No1", "170"));
        // The new set takes further records as usual.
        QVERIFY(RecordFile::Write(Path(), 4, Numbered(u"No2"_qs, u"60"_qs)));
        QCOMPARE(RecordFile::Count(Path()), 4);
        QCOMPARE(QDir(QFileInfo(Path()).path()).entryList(QDir::Files),
                 QStringList{u"zqmtemp.rdm"_qs});
    }

    void replaceLeavesTheOldFileWhenItCannotWrite() {
        const QByteArray old = Spaces(300) + NumberedBytes("No1", "170");
        SetFileBytes(Path(), old);
        const QString folder = QFileInfo(Path()).path();
        const auto perms = QFile::permissions(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(folder + u"/probe"_qs);
        if (probe.open(QIODevice::WriteOnly)) {  // root writes anywhere
            probe.close();
            probe.remove();
            QFile::setPermissions(folder, perms);
            QSKIP("a read-only folder cannot be provoked for this user");
        }
        const bool replaced = RecordFile::Replace(Path(), {MeasureRecord{}});
        QFile::setPermissions(folder, perms);
        QVERIFY(!replaced);
        QCOMPARE(FileBytes(Path()), old);
    }

    // A full disk, a read-only file, a folder in place of the file: the write says why, and
    // the file keeps exactly its whole records (no torn tail, no phantom records).
    void failedWriteLeavesTheFileAsItWas_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("countAfter");
        QTest::addColumn<int>("limit");  // the file-size limit of a full disk
        QTest::newRow("disk full appending") << "full" << 4 << 3 << 496;
        QTest::newRow("disk full filling a gap") << "full" << 9 << 3 << 496;
        // The old record comes back whole: never half new names and a cut height.
        QTest::newRow("disk full in the middle of an overwrite") << "full" << 3 << 3 << 375;
        QTest::newRow("read-only file") << "read-only" << 3 << 3 << 0;
        QTest::newRow("folder in place of the file") << "folder" << 3 << 0 << 0;
    }
    void failedWriteLeavesTheFileAsItWas() {
        QFETCH(QString, fault);
        QFETCH(int, record);
        QFETCH(int, countAfter);
        QFETCH(int, limit);
        const QByteArray old = Spaces(300) + NumberedBytes("No1", "170");
        SetFileBytes(Path(), old);
        std::unique_ptr<FileSizeLimit> sizeLimit;
        if (fault == u"full" && !FileSizeLimit::Works)
            QSKIP("a full disk is played with a file size limit, which Windows lacks");
        if (fault == u"full") sizeLimit = std::make_unique<FileSizeLimit>(limit);
        if (fault == u"read-only") {
            if (!PermissionsHold()) QSKIP("root writes read-only files");
            QFile::setPermissions(Path(), QFile::ReadOwner);
        }
        if (fault == u"folder") {
            QFile::remove(Path());
            QVERIFY(QDir().mkpath(Path() + u"/inside"_qs));
        }
        const FileResult result = RecordFile::Write(Path(), record, Numbered(u"No"_qs, u"1"_qs));
        sizeLimit.reset();
        QVERIFY(!result);
        QCOMPARE(result.Path, Path());
        QVERIFY(!result.Reason.isEmpty());
        QVERIFY(result.Message().contains(result.Reason));
        QCOMPARE(RecordFile::Count(Path()), countAfter);
        if (fault != u"folder") QCOMPARE(FileBytes(Path()), old);
        QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner);
    }

    // Qt 6.4's QSaveFile commits after a write failed on a full disk; the old bytes must stay.
    void wholeFileReplacementOnAFullDiskKeepsTheOldBytes_data() {
        QTest::addColumn<bool>("settings");
        QTest::newRow("new measurement set") << false;
        QTest::newRow("user settings") << true;
    }
    void wholeFileReplacementOnAFullDiskKeepsTheOldBytes() {
        QFETCH(bool, settings);
        const QString path = settings ? G_Param.SettingsFilePath() : Path();
        const QByteArray old = settings ? QByteArray("\"9600,N,8,1\",2,1,1,5\r\n") : Spaces(3300);
        SetFileBytes(path, old);
        if (!FileSizeLimit::Works)
            QSKIP("a full disk is played with a file size limit, which Windows lacks");
        FileResult result;
        {
            const FileSizeLimit limit(10);
            result = settings ? WriteSettings()
                              : RecordFile::Replace(path, QList<MeasureRecord>(3, MeasureRecord{}));
        }
        QVERIFY(!result);
        QCOMPARE(FileBytes(path), old);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files).size(), 1);  // no leftovers
    }

    // A write counts only once its bytes are on the device: a record after it is written, a
    // new file before it is renamed over the old one, and the folder after. A failing device
    // fails the write.
    void writesCountOnlyOnceSynced_data() {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QStringList>("calls");
        // clang-format off
        QTest::newRow("record") << false << false << QStringList{"file 600, watched 600"};
        QTest::newRow("record, device error") << false << true << QStringList{"file 600, watched 600"};
        QTest::newRow("whole file")
            << true << false << QStringList{"file 450, watched 3300", "folder Org, watched 450"};
        QTest::newRow("whole file, device error")
            << true << true << QStringList{"file 450, watched 3300"};
        // clang-format on
    }
    void writesCountOnlyOnceSynced() {
        QFETCH(bool, replace);
        QFETCH(bool, fails);
        QFETCH(QStringList, calls);
        const QByteArray old = Spaces(replace ? 3300 : 450);
        SetFileBytes(Path(), old);
        DeviceSyncDouble sync;
        sync.Watched = Path();
        sync.Fails = fails;
        const FileResult result =
            replace ? RecordFile::Replace(Path(), QList<MeasureRecord>(3, MeasureRecord{}), sync)
                    : RecordFile::Write(Path(), 4, Numbered(u"No2"_qs, u"60"_qs), sync);
        QCOMPARE(sync.Calls, calls);
        QCOMPARE(bool(result), !fails);
        if (fails) QCOMPARE(FileBytes(Path()), old);
        QCOMPARE(QDir(QFileInfo(Path()).path()).entryList(QDir::Files).size(), 1);
    }

    // A header read by a dialog must not wipe a reading on display that is not written yet.
    void readRecordToBufferReplacesTheBufferAndKeepsTheValuesOnDisplay() {
        SetFileBytes(Path(), Spaces(300) + NumberedBytes("No1", "170"));
        G_Param.Title = u"T"_qs;
        G_Param.CurrentIndex = 7;
        G_Param.CurrentValues.Weight = u"60"_qs;
        G_Param.RecordBuffer = Numbered(u"old"_qs, u"999"_qs);
        QVERIFY(ReadRecordToBuffer(3));
        QCOMPARE(G_Param.RecordBuffer, Numbered(u"No1"_qs, u"170"_qs));
        QCOMPARE(G_Param.CurrentValues.Weight.Trimmed(), u"60"_qs);

        QVERIFY(!ReadRecordToBuffer(4));
        QCOMPARE(G_Param.RecordBuffer, MeasureRecord{});
        QCOMPARE(G_Param.CurrentValues.Weight.Trimmed(), u"60"_qs);
        QCOMPARE(G_Param.Title.Trimmed(), u"T"_qs);
        QCOMPARE(G_Param.CurrentIndex, int16_t(7));
    }
};

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
