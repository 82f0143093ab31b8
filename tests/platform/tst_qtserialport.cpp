#include <QtGlobal>

#ifdef Q_OS_WIN

#include <QTest>

// Here the port is driven through a Linux pseudo-terminal from inside the test. Under Wine the
// test wine.e2e reads the real program from COM1 instead (tests/wine/e2e.sh).
class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void drivenThroughALinuxPty() {
        QSKIP("needs a Linux pseudo-terminal in the test process; wine.e2e covers COM1");
    }
};

#else

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "QtSerialPort.h"

namespace {
// The meter's end of a pseudo-terminal; the port under test opens the other end.
class PtyMaster {
public:
    PtyMaster() {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0) {
            Close();
            return;
        }
        m_slave = QString::fromLocal8Bit(ptsname(m_fd));
    }
    ~PtyMaster() { Close(); }
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    QString SlavePath() const { return m_slave; }
    void Close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    bool Write(const QByteArray& bytes) const {
        return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size();
    }
    // Reads until `count` bytes have come or nothing more comes for a generous while.
    QByteArray Read(int count) const {
        QByteArray bytes;
        while (bytes.size() < count) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) break;
            char buf[256];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0) break;
            bytes.append(buf, n);
        }
        return bytes;
    }

private:
    int m_fd = -1;
    QString m_slave;
};

// Everything a port raised, with the input each receive event handed over.
struct EventLog {
    explicit EventLog(QtSerialPort& port) {
        QObject::connect(&port, &SerialPort::OnComm, &port, [this, &port] {
            Events << port.CommEvent();
            if (port.CommEvent() == CommEvents::Receive) Received += port.Input().toLatin1();
        });
    }
    QList<int> Events;
    QByteArray Received;
};
}  // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_programDir;

    void LinkCom(int n, const QString& target) {
        const QString link = m_programDir.path() + QStringLiteral("/ports/COM%1").arg(n);
        QFile::remove(link);
        QVERIFY(QFile::link(target, link));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_programDir.isValid());
        QVERIFY(QDir(m_programDir.path()).mkpath(QStringLiteral("ports")));
    }

    void objectNameIsMscPort() {
        QtSerialPort port(m_programDir.path());
        QCOMPARE(port.objectName(), QStringLiteral("mscPort"));
    }

    // COMn is its link's device; once a link named it, never the built-in port instead.
    void portNamesResolveToTheLinksDeviceOrNothing_data() {
        QTest::addColumn<QString>("link");    // none, pty, dangling, removed (after opening)
        QTest::addColumn<int>("openError");   // -1: not opened (a built-in port may be anything)
        QTest::addColumn<QString>("device");  // "pty": the line's own end
        QTest::newRow("no link") << "none" << -1 << "/dev/ttyS4";
        QTest::newRow("link to a pty") << "pty" << 0 << "pty";
        QTest::newRow("dangling link") << "dangling" << 8002 << "/no-such-device";
        QTest::newRow("link removed after opening") << "removed" << 8002 << "";
    }
    void portNamesResolveToTheLinksDeviceOrNothing() {
        QFETCH(QString, link);
        QFETCH(int, openError);
        QFETCH(QString, device);
        PtyMaster meter;
        const QString linkPath = m_programDir.path() + QStringLiteral("/ports/COM5");
        QFile::remove(linkPath);
        if (link != u"none") LinkCom(5, link == u"dangling" ? device : meter.SlavePath());
        QtSerialPort port(m_programDir.path());
        port.SetCommPort(5);
        if (link == u"removed") {
            QCOMPARE(port.SetPortOpen(true), CommErrors::None);
            port.SetPortOpen(false);
            QVERIFY(QFile::remove(linkPath));
        }
        if (openError >= 0) QCOMPARE(port.SetPortOpen(true), openError);
        QCOMPARE(port.DeviceOf(5).Path, device == u"pty" ? meter.SlavePath() : device);
        if (openError >= 0) QCOMPARE(port.DeviceOf(5).Present, openError == 0);
    }

    // A pty refuses parity and RTS/CTS; the port opens anyway and raises nothing for it.
    void lineSettingsAPtyRefusesAreNotErrors() {
        PtyMaster meter;
        LinkCom(1, meter.SlavePath());
        QtSerialPort port(m_programDir.path());
        EventLog log(port);
        QCOMPARE(port.SetSettings(QStringLiteral("4800,E,7,2")), CommErrors::None);
        QCOMPARE(port.SetHandshaking(2), CommErrors::None);
        QCOMPARE(port.SetRTSEnable(true), CommErrors::None);
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
        QCOMPARE(port.SetSettings(QStringLiteral("9600,M,8,1.5")), CommErrors::None);
        QCOMPARE(port.SetHandshaking(0), CommErrors::None);
        QCOMPARE(port.SetRTSEnable(false), CommErrors::None);
        QVERIFY(port.PortOpen());
        QVERIFY(meter.Write(QByteArray("\x02SY\x03")));
        QTRY_COMPARE_WITH_TIMEOUT(log.Received, QByteArray("\x02SY\x03"), 5000);
        QCOMPARE(log.Events, QList<int>{CommEvents::Receive});
    }

    void bytesFromTheLineArriveThroughOnCommExactlyOnce() {
        PtyMaster meter;
        LinkCom(1, meter.SlavePath());
        QtSerialPort port(m_programDir.path());
        EventLog log(port);
        QCOMPARE(port.SetSettings(QStringLiteral("4800,E,8,1")), CommErrors::None);
        QCOMPARE(port.SetHandshaking(2), CommErrors::None);
        QCOMPARE(port.SetRTSEnable(true), CommErrors::None);
        QCOMPARE(port.SetRThreshold(1), CommErrors::None);
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);

        // Every byte value travels as one character, high ones included.
        QByteArray expected("\x02SY,  170.2\x03\x02TZ,   65.4\x03");
        for (int b = 0; b < 256; ++b) expected.append(char(b));
        for (qsizetype at = 0; at < expected.size(); at += 37)
            QVERIFY(meter.Write(expected.mid(at, 37)));
        QTRY_COMPARE_WITH_TIMEOUT(log.Received.size(), expected.size(), 5000);
        QCOMPARE(log.Received, expected);
        QVERIFY(!log.Events.isEmpty());
        for (int e : log.Events) QCOMPARE(e, CommEvents::Receive);
    }

    void outputBytesReachTheLineUnchanged() {
        PtyMaster meter;
        LinkCom(1, meter.SlavePath());
        QtSerialPort port(m_programDir.path());
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), CommErrors::None);
        QCOMPARE(meter.Read(4), QByteArray::fromHex("02535903"));
        QCOMPARE(port.SetOutput(QString(QChar(0x81)) + QChar(0x60)), CommErrors::None);
        QCOMPARE(meter.Read(2), QByteArray::fromHex("8160"));
    }

    void outputOnAClosedPortIsRefused() {
        QtSerialPort port(m_programDir.path());
        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), CommErrors::PortNotOpen);
    }

    void closedPortRaisesNothing() {
        PtyMaster meter;
        LinkCom(1, meter.SlavePath());
        QtSerialPort port(m_programDir.path());
        EventLog log(port);
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
        QCOMPARE(port.SetPortOpen(false), CommErrors::None);
        QVERIFY(meter.Write(QByteArray("\x02SY\x03")));
        meter.Close();
        QTest::qWait(300);
        QVERIFY(log.Events.isEmpty());
    }

    void vanishedDeviceRaisesOneEventAndClosesThePort() {
        PtyMaster meter;
        LinkCom(1, meter.SlavePath());
        QtSerialPort port(m_programDir.path());
        EventLog log(port);
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
        auto* serial = port.findChild<QSerialPort*>();
        QVERIFY(serial);
        QSignalSpy errors(serial, &QSerialPort::errorOccurred);
        meter.Close();
        QTRY_VERIFY_WITH_TIMEOUT(log.Events.contains(CommEvents::DeviceVanished), 5000);
        QVERIFY(!port.PortOpen());
        // A storm of read errors would show up as more events here.
        QTest::qWait(500);
        QCOMPARE(log.Events, QList<int>{CommEvents::DeviceVanished});
        QVERIFY(!port.PortOpen());
        // The device was closed at once: no errors kept coming in the background.
        QVERIFY2(errors.count() <= 3, qPrintable(QString::number(errors.count())));
        QVERIFY(!serial->isOpen());
        QCOMPARE(port.SetPortOpen(false), CommErrors::None);
        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), CommErrors::PortNotOpen);
    }

    void portOpensAgainAfterTheDeviceCameBack() {
        QtSerialPort port(m_programDir.path());
        EventLog log(port);
        {
            PtyMaster first;
            LinkCom(1, first.SlavePath());
            QCOMPARE(port.SetPortOpen(true), CommErrors::None);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!port.PortOpen(), 5000);
        PtyMaster second;
        LinkCom(1, second.SlavePath());
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
        QVERIFY(second.Write(QByteArray("\x02ZK,   90.1\x03")));
        QTRY_COMPARE_WITH_TIMEOUT(log.Received, QByteArray("\x02ZK,   90.1\x03"), 5000);
        QCOMPARE(log.Events, (QList<int>{CommEvents::DeviceVanished, CommEvents::Receive}));
    }

    // A handler waiting in a nested loop (a message box) while the meter is replugged: what
    // the new line brings is still announced once the handler returns.
    void aLineOpenedWhileAHandlerWaitsIsRead() {
        PtyMaster first, second;
        LinkCom(1, first.SlavePath());
        QtSerialPort port(m_programDir.path());
        EventLog log(port);
        QObject::connect(&port, &SerialPort::OnComm, &port, [&] {
            if (log.Received != "A") return;
            port.SetPortOpen(false);
            LinkCom(1, second.SlavePath());
            QCOMPARE(port.SetPortOpen(true), CommErrors::None);
            QVERIFY(second.Write("B"));
            QTest::qWait(300);
        });
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
        QVERIFY(first.Write("A"));
        QTRY_COMPARE_WITH_TIMEOUT(log.Received, QByteArray("AB"), 5000);
    }

    // The serial port library's lock file of a killed copy, its number now another process's
    // (here this one, which does not hold the device): the port opens all the same.
    void aLockFileLeftByAKilledCopyDoesNotKeepThePortClosed() {
        PtyMaster meter;
        LinkCom(1, meter.SlavePath());
        QFile lock(QStringLiteral("/var/lock/LCK..") +
                   meter.SlavePath().mid(5).replace(u'/', u'_'));
        if (!lock.open(QIODevice::WriteOnly)) QSKIP("/var/lock cannot be written here");
        lock.write(QStringLiteral("%1\n%2\n%3\n")
                       .arg(QCoreApplication::applicationPid())
                       .arg(QCoreApplication::applicationName(), QSysInfo::machineHostName())
                       .toUtf8());
        lock.close();
        QtSerialPort port(m_programDir.path());
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
    }

    void serialErrorsMapToCommEvents_data() {
        QTest::addColumn<QSerialPort::SerialPortError>("error");
        QTest::addColumn<int>("event");  // 0: nothing is raised
        QTest::newRow("none") << QSerialPort::NoError << 0;
        QTest::newRow("timeout") << QSerialPort::TimeoutError << 0;
        QTest::newRow("unsupported setting") << QSerialPort::UnsupportedOperationError << 0;
        QTest::newRow("read") << QSerialPort::ReadError << CommEvents::DeviceVanished;
        QTest::newRow("resource") << QSerialPort::ResourceError << CommEvents::DeviceVanished;
        QTest::newRow("write") << QSerialPort::WriteError << kUndefinedCommEvent;
        QTest::newRow("unknown") << QSerialPort::UnknownError << kUndefinedCommEvent;
        QTest::newRow("permission") << QSerialPort::PermissionError << kUndefinedCommEvent;
    }
    void serialErrorsMapToCommEvents() {
        QFETCH(QSerialPort::SerialPortError, error);
        QFETCH(int, event);
        QCOMPARE(CommEventForSerialError(error).value_or(0), event);
    }
};

#endif

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "tst_qtserialport.moc"
