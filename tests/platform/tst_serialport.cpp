#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "SerialPortDouble.h"

class TestSerialPort : public QObject {
    Q_OBJECT

private slots:
    void settingsStrings_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("readBack");  // what Settings returns afterwards

        const QString initial = QStringLiteral("4800,e,8,1");
        QTest::newRow("default") << "4800,E,8,1" << 0 << "4800,e,8,1";
        QTest::newRow("lower-case parity") << "9600,n,8,1" << 0 << "9600,n,8,1";
        QTest::newRow("odd, 7 bits, 2 stop") << "19200,O,7,2" << 0 << "19200,o,7,2";
        QTest::newRow("mark, 1.5 stop") << "1200,m,5,1.5" << 0 << "1200,m,5,1.5";
        QTest::newRow("space, 4 bits") << "110,S,4,1" << 0 << "110,s,4,1";
        QTest::newRow("6 bits") << "115200,N,6,1" << 0 << "115200,n,6,1";
        QTest::newRow("highest baud") << "256000,E,8,1" << 0 << "256000,e,8,1";
        QTest::newRow("empty") << "" << 380 << initial;
        QTest::newRow("non-standard baud") << "4801,E,8,1" << 380 << initial;
        QTest::newRow("baud not a number") << "fast,E,8,1" << 380 << initial;
        QTest::newRow("negative baud") << "-4800,E,8,1" << 380 << initial;
        QTest::newRow("unknown parity") << "4800,X,8,1" << 380 << initial;
        QTest::newRow("two parity letters") << "4800,EO,8,1" << 380 << initial;
        QTest::newRow("no parity letter") << "4800,,8,1" << 380 << initial;
        QTest::newRow("3 data bits") << "4800,E,3,1" << 380 << initial;
        QTest::newRow("9 data bits") << "4800,E,9,1" << 380 << initial;
        QTest::newRow("3 stop bits") << "4800,E,8,3" << 380 << initial;
        QTest::newRow("0 stop bits") << "4800,E,8,0" << 380 << initial;
        QTest::newRow("stop bits 1.0") << "4800,E,8,1.0" << 380 << initial;
        QTest::newRow("three items") << "4800,E,8" << 380 << initial;
        QTest::newRow("five items") << "4800,E,8,1,1" << 380 << initial;
    }
    void settingsStrings() {
        QFETCH(QString, settings);
        QFETCH(int, error);
        QFETCH(QString, readBack);
        SerialPortDouble port;
        QCOMPARE(port.SetSettings(QStringLiteral("4800,E,8,1")), 0);
        QCOMPARE(port.SetSettings(settings), error);
        QCOMPARE(port.Settings(), readBack);
    }

    void refusedSettingsKeepTheLastGoodLine() {
        SerialPortDouble port;
        QCOMPARE(port.SetSettings(QStringLiteral("9600,O,7,2")), 0);
        QCOMPARE(port.SetSettings(QStringLiteral("9600,O,7,9")), CommErrors::InvalidProperty);
        const LineSettings line = port.Line();
        QCOMPARE(line.BaudRate, 9600);
        QCOMPARE(line.Parity, 'O');
        QCOMPARE(line.DataBits, 7);
        QCOMPARE(line.StopBits, QStringLiteral("2"));
    }

    void commPortOutsideTheRangeIsRefused_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("readBack");
        QTest::newRow("0") << 0 << 380 << 3;
        QTest::newRow("-1") << -1 << 380 << 3;
        QTest::newRow("17") << 17 << 380 << 3;
        QTest::newRow("1") << 1 << 0 << 1;
        QTest::newRow("8") << 8 << 0 << 8;
        QTest::newRow("16") << 16 << 0 << 16;
    }
    void commPortOutsideTheRangeIsRefused() {
        QFETCH(int, port);
        QFETCH(int, error);
        QFETCH(int, readBack);
        SerialPortDouble serial;
        QCOMPARE(serial.SetCommPort(3), 0);
        QCOMPARE(serial.SetCommPort(port), error);
        QCOMPARE(serial.CommPort(), readBack);
    }

    void commPortCannotChangeWhileOpen() {
        SerialPortDouble port;
        QCOMPARE(port.SetCommPort(2), 0);
        QCOMPARE(port.SetPortOpen(true), 0);
        QCOMPARE(port.SetCommPort(4), CommErrors::PortAlreadyOpen);
        QCOMPARE(port.CommPort(), 2);
    }

    void settingPortOpenToItsValueDoesNothing() {
        SerialPortDouble port;
        QCOMPARE(port.SetPortOpen(false), 0);
        QCOMPARE(port.CloseCount, 0);
        QCOMPARE(port.SetPortOpen(true), 0);
        QCOMPARE(port.SetPortOpen(true), 0);
        QCOMPARE(port.OpenCount, 1);
        QCOMPARE(port.SetPortOpen(false), 0);
        QCOMPARE(port.SetPortOpen(false), 0);
        QCOMPARE(port.CloseCount, 1);
        QVERIFY(!port.PortOpen());
    }

    void openingAMissingPortIsNoSuchPort() {
        SerialPortDouble port;
        port.MissingPorts = {5};
        QCOMPARE(port.SetCommPort(5), 0);
        QCOMPARE(port.SetPortOpen(true), CommErrors::NoSuchPort);
        QVERIFY(!port.PortOpen());
        QCOMPARE(port.SetCommPort(6), 0);
        QCOMPARE(port.SetPortOpen(true), 0);
        QVERIFY(port.PortOpen());
    }

    void outputWritesOneBytePerCharacterOnlyWhileOpen() {
        SerialPortDouble port;
        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), CommErrors::PortNotOpen);
        QVERIFY(port.Written.isEmpty());
        QCOMPARE(port.SetPortOpen(true), 0);
        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), 0);
        QCOMPARE(port.SetOutput(QString(QChar(0xff))), 0);
        QCOMPARE(port.Written, QByteArray::fromHex("02535903ff"));
    }

    void controlPropertiesKeepTheirValues() {
        SerialPortDouble port;
        QCOMPARE(port.SetHandshaking(2), 0);
        QCOMPARE(port.SetHandshaking(4), CommErrors::InvalidProperty);
        QCOMPARE(port.Handshaking(), 2);
        QCOMPARE(port.SetRTSEnable(true), 0);
        QVERIFY(port.RTSEnable());
        QCOMPARE(port.SetSThreshold(1), 0);
        QCOMPARE(port.SetRThreshold(1), 0);
        QCOMPARE(port.SetRThreshold(-1), CommErrors::InvalidProperty);
        QCOMPARE(port.SThreshold(), 1);
        QCOMPARE(port.RThreshold(), 1);
    }

    void eachEventReachesOnCommWithItsReason() {
        SerialPortDouble port;
        QCOMPARE(port.SetPortOpen(true), 0);
        QList<int> seen;
        connect(&port, &SerialPort::OnComm, this, [&] { seen << port.CommEvent(); });
        port.RaiseEvent(CommEvents::Frame);
        port.Receive("x");
        port.RaiseEvent(CommEvents::RxParity);
        QCOMPARE(seen, (QList<int>{CommEvents::Frame, CommEvents::Receive, CommEvents::RxParity}));
    }

    // A handler that shows a message box spins a nested event loop; data arriving then must
    // wait for the handler to return, and nothing is lost or read twice.
    void onCommNeverReentersThroughANestedEventLoop() {
        SerialPortDouble port;
        QCOMPARE(port.SetPortOpen(true), 0);
        int depth = 0;
        int deepest = 0;
        int calls = 0;
        QByteArray received;
        connect(&port, &SerialPort::OnComm, this, [&] {
            ++depth;
            ++calls;
            deepest = std::max(deepest, depth);
            received += port.Input().toLatin1();
            if (calls == 1) {
                QEventLoop box;
                QTimer::singleShot(0, &port, [&] { port.Receive("\x02TZ"); });
                QTimer::singleShot(0, &port, [&] { port.RaiseEvent(CommEvents::Overrun); });
                QTimer::singleShot(0, &port, [&] { port.Receive(",  65.0\x03"); });
                QTimer::singleShot(20, &box, &QEventLoop::quit);
                box.exec();
                // Still only what the first event handed over.
                QCOMPARE(received, QByteArray("\x02SY,  170.2\x03"));
            }
            --depth;
        });
        QSignalSpy spy(&port, &SerialPort::OnComm);
        port.Receive("\x02SY,  170.2\x03");
        QCOMPARE(deepest, 1);
        QCOMPARE(received, QByteArray("\x02SY,  170.2\x03\x02TZ,  65.0\x03"));
        // The data that came during the handler is handed to one receive event, the error
        // keeps its place after it.
        QCOMPARE(spy.count(), 3);
        QCOMPARE(port.Input(), QString());
    }

    void dataInjectedByTheHandlerItselfComesWithTheNextEvent() {
        SerialPortDouble port;
        QCOMPARE(port.SetPortOpen(true), 0);
        QList<QByteArray> chunks;
        int depth = 0;
        int deepest = 0;
        connect(&port, &SerialPort::OnComm, this, [&] {
            deepest = std::max(deepest, ++depth);
            const QByteArray chunk = port.Input().toLatin1();
            chunks << chunk;
            if (chunks.size() < 4) port.Receive(QByteArray(1, char('a' + chunks.size())));
            --depth;
        });
        port.Receive("a");
        QCOMPARE(deepest, 1);
        QCOMPARE(chunks, (QList<QByteArray>{"a", "b", "c", "d"}));
    }

    void closingThePortDropsEventsStillWaiting() {
        SerialPortDouble port;
        QCOMPARE(port.SetPortOpen(true), 0);
        QList<int> seen;
        connect(&port, &SerialPort::OnComm, this, [&] {
            seen << port.CommEvent();
            if (seen.size() == 1) {
                port.RaiseEvent(CommEvents::Break);
                QCOMPARE(port.SetPortOpen(false), 0);
            }
        });
        port.RaiseEvent(CommEvents::Frame);
        QCOMPARE(seen, QList<int>{CommEvents::Frame});
    }

    void vanishedDeviceLeavesThePortClosed() {
        SerialPortDouble port;
        QCOMPARE(port.SetPortOpen(true), 0);
        QSignalSpy spy(&port, &SerialPort::OnComm);
        port.Vanish();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(port.CommEvent(), CommEvents::DeviceVanished);
        QVERIFY(!port.PortOpen());
        QCOMPARE(port.SetPortOpen(false), 0);
        QCOMPARE(port.CloseCount, 0);  // the device is not touched again
        QCOMPARE(port.SetPortOpen(true), 0);
        QVERIFY(port.PortOpen());
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
