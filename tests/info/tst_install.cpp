#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// `cmake --install` lays out a program folder that runs on its own.
class InstallTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;

    void Install() {
        QProcess install;
        install.start(QStringLiteral(HAKARON_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(HAKARON_BUILD_DIR),
                       QStringLiteral("--prefix"), m_folder});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }
    QByteArray UserDat() const {  // what a first start reads
        QFile file(QDir(m_folder).filePath(QStringLiteral("Org/user.dat")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() {
#ifdef Q_OS_WIN
        QSKIP("runs the host's cmake --install; wine.installer tries the Windows folder");
#endif
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.filePath(QStringLiteral("Hakaron 1.30"));  // a space, as users do
        Install();
    }

    void folderHoldsProgramMeterFoldersAndIcon() {
        const QDir folder(m_folder);
        for (const char* program : {"hakaron", "hakaron-meter", "hakaron-desktop-entry.sh"})
            QVERIFY2(QFileInfo(folder.filePath(QLatin1String(program))).isExecutable(), program);
        QVERIFY(folder.exists(QStringLiteral("Org")));
        QVERIFY(folder.exists(QStringLiteral("Name_List")));
        QVERIFY(folder.exists(QStringLiteral("hakaron.svg")));
        QVERIFY(folder.exists(QStringLiteral("translations/qtbase_ja.qm")));
    }

    void desktopEntryStartsTheProgramInTheFolder() {
        QFile entry(QDir(m_folder).filePath(QStringLiteral("hakaron.desktop")));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.contains(QStringLiteral("Exec=\"%1/hakaron\"\n").arg(m_folder)));
        QVERIFY(text.contains(QStringLiteral("Icon=%1/hakaron.svg\n").arg(m_folder)));
    }

    // The program finds Org/ beside itself: it makes the record file there at start.
    void programStartsFromTheFolder() {
        const QString recordFile = QDir(m_folder).filePath(QStringLiteral("Org/zqmtemp.rdm"));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QDir(m_folder).filePath(QStringLiteral("hakaron")), {});
        QVERIFY(program.waitForStarted());
        // Two header records and record No. 1, written one after the other.
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(recordFile).size(), 3 * 150, 20000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
    }

    // The summary library is installed beside the program, which loads it from there.
    void summaryLoadsFromTheFolder() {
        QProcess program;
        program.setWorkingDirectory(m_dir.path());
        program.start(QDir(m_folder).filePath(QStringLiteral("hakaron")),
                      {QStringLiteral("--save-judgement"), QStringLiteral("judged.csv"),
                       QStringLiteral("--age"), QStringLiteral("12")});
        QVERIFY(program.waitForFinished(20000));
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
        QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("judged.csv"))).size() > 0);
    }

    // COM1 at 4800 baud, even parity, manual mode, automatic writing after 2 s: the first
    // start asks nothing. A reinstall leaves the user's own settings alone.
    void firstSettingsAreLaidOutAndKeptOnReinstall() {
        QCOMPARE(UserDat(), QByteArray("\"4800,E,8,1\",1,0,1,2\r\n"));
        const QByteArray own("\"9600,N,8,1\",3,1,0,5\r\n");
        QFile file(QDir(m_folder).filePath(QStringLiteral("Org/user.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(own) == own.size());
        file.close();
        Install();
        QCOMPARE(UserDat(), own);
    }
};

QTEST_MAIN(InstallTest)
#include "tst_install.moc"
