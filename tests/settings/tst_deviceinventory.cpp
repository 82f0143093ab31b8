#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "PortMarks.h"
#include "QtDeviceInventory.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

class DeviceInventoryTest : public QObject {
    Q_OBJECT

#ifndef Q_OS_WIN
    QTemporaryDir m_program;
    int m_master = -1;
    QString m_pty;

    void Link(int port, const QString& target) {
        const QString link = m_program.filePath(QStringLiteral("ports/COM%1").arg(port));
        QFile::remove(link);
        QVERIFY(QFile::link(target, link));
    }
    static QList<SerialDeviceInfo> ForPort(const QList<SerialDeviceInfo>& devices, int port) {
        QList<SerialDeviceInfo> found;
        for (const auto& d : devices)
            if (d.Name.endsWith(QStringLiteral("(COM%1)").arg(port))) found << d;
        return found;
    }

private slots:
    void initTestCase() {
        QVERIFY(QDir(m_program.path()).mkpath(QStringLiteral("ports")));
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(m_master >= 0);
        QVERIFY(grantpt(m_master) == 0 && unlockpt(m_master) == 0);
        m_pty = QString::fromLocal8Bit(ptsname(m_master));
        QFile regular(m_program.filePath(QStringLiteral("not-a-device")));
        QVERIFY(regular.open(QIODevice::WriteOnly));
    }
    void cleanupTestCase() {
        if (m_master >= 0) ::close(m_master);
    }

    void aLinkToAPseudoTerminalIsAPresentPort() {
        Link(3, m_pty);
        const QtDeviceInventory inventory(m_program.path());
        const auto devices = ForPort(inventory.SerialDevices(), 3);
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices[0].Path, m_pty);
        QCOMPARE(devices[0].Name, m_pty + QStringLiteral(" (COM3)"));
        const auto marks = PortMarks::MarkPorts(devices);
        QVERIFY(marks[2].Present);
        QCOMPARE(marks[2].Path, m_pty);
    }

    void linksToOtherThingsAreNotPorts_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("regular file") << "not-a-device";
        QTest::newRow("missing target") << "gone";
        QTest::newRow("null device") << "/dev/null";
        QTest::newRow("folder") << ".";
    }
    void linksToOtherThingsAreNotPorts() {
        QFETCH(QString, target);
        const QString path = target.startsWith(u'/') ? target : m_program.filePath(target);
        Link(4, path);
        const QtDeviceInventory inventory(m_program.path());
        QVERIFY(ForPort(inventory.SerialDevices(), 4).isEmpty());
    }

    void onlyPortsOneToEightAreReported() {
        for (int port = 1; port <= 8; ++port) Link(port, m_pty);
        Link(9, m_pty);
        const QtDeviceInventory inventory(m_program.path());
        const auto devices = inventory.SerialDevices();
        QCOMPARE(devices.size(), 8);
        QVERIFY(ForPort(devices, 9).isEmpty());
        const auto marks = PortMarks::MarkPorts(devices);
        for (const auto& mark : marks) QVERIFY(mark.Present);
    }
#endif
};

QTEST_APPLESS_MAIN(DeviceInventoryTest)
#include "tst_deviceinventory.moc"
