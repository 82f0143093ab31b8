#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "SaveTarget.h"
#include "TestProgramFolder.h"

using Problem = SaveTarget::Problem;
Q_DECLARE_METATYPE(SaveTarget::Problem)

// Where a save may not write: the program's own files by any path, and what is no file.
class SaveTargetTest : public QObject {
    Q_OBJECT

private slots:
    // Paths are in the program folder; "~/" a folder of the user's holding user.csv and mnt,
    // the program folder by a second name as a bind mount gives it; "@x" is a link to x and
    // "=x" a hard link to x, both in the user's folder.
    void targets_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<Problem>("problem");
        for (const char* own :
             {"Org/zqmtemp.rdm", "Org/user.dat", "Org/hakaron.ini", "Org/hakaron.lock",
              "Name_List/a.nml", "hakaron", "Org/new.csv", "ports/COM1", "@Org/zqmtemp.rdm",
              "@Org/new.csv", "=Org/zqmtemp.rdm", "=Name_List/a.nml", "~/mnt/Org/zqmtemp.rdm",
              "~/mnt/Org/new.csv", "~/mnt/hakaron"})
            QTest::newRow(own) << QString::fromLatin1(own) << Problem::ProgramFile;
        // clang-format off
        QTest::newRow("a new file") << "~/out.csv" << Problem::None;
        QTest::newRow("a file of the user") << "~/user.csv" << Problem::None;
        QTest::newRow("a link to a file of the user") << "@~/user.csv" << Problem::None;
        QTest::newRow("a character device") << "/dev/null" << Problem::NotAFile;
        QTest::newRow("a device that is always full") << "/dev/full" << Problem::NotAFile;
        QTest::newRow("a link to a device") << "@/dev/full" << Problem::NotAFile;
        QTest::newRow("a folder") << "Org" << Problem::Folder;
        QTest::newRow("a missing folder") << "~/gone/out.csv" << Problem::NoFolder;
        // clang-format on
    }
    void targets() {
        QFETCH(QString, target);
        QFETCH(Problem, problem);
#ifdef Q_OS_WIN
        if (target.startsWith(u'@') || target.startsWith(u'=') || target.startsWith(u'/') ||
            target.startsWith(u"~/mnt") || target.startsWith(u"ports/"))
            QSKIP("links, a second name of a folder, device nodes and ports/ are Linux's");
#endif
        const TestProgramFolder folder;
        const QDir program(folder.Path());
        const QTemporaryDir user;
        const auto path = [&](const QString& name) {
            if (name.startsWith(u'/')) return name;
            return name.startsWith(u"~/") ? user.filePath(name.mid(2)) : program.filePath(name);
        };
        for (const char* name : {"Org/zqmtemp.rdm", "Org/user.dat", "Org/hakaron.ini",
                                 "Org/hakaron.lock", "Name_List/a.nml", "hakaron", "~/user.csv"})
            QVERIFY(QFile(path(QLatin1String(name))).open(QIODevice::WriteOnly));
        QString checked = path(target);
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(folder.Path(), user.filePath(QStringLiteral("mnt"))));
        if (target.startsWith(u'@') || target.startsWith(u'=')) {
            checked = user.filePath(QStringLiteral("link.csv"));
            const QByteArray to = QFile::encodeName(path(target.mid(1)));
            QCOMPARE(target.startsWith(u'@') ? ::symlink(to, QFile::encodeName(checked))
                                             : ::link(to, QFile::encodeName(checked)),
                     0);
        }
#endif
        QCOMPARE(
            SaveTarget::Check(checked, folder.Path(), program.filePath(QStringLiteral("hakaron"))),
            problem);
    }
};

QTEST_GUILESS_MAIN(SaveTargetTest)
#include "tst_savetarget.moc"
