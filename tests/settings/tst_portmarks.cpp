#include <QTest>

#include "PortMarks.h"

using PortMarks::MarkPorts;

class PortMarksTest : public QObject {
    Q_OBJECT
private slots:
    void portNumberIsReadAfterTheLastCom_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("port");
        QTest::newRow("one digit before the bracket") << "Communications Port (COM3)" << 3;
        QTest::newRow("two digits") << "USB Serial Port (COM12)" << 12;
        QTest::newRow("name ends after the digit") << "Port COM5" << 5;
        QTest::newRow("last COM counts") << "COM7 adapter (COM2)" << 2;
        QTest::newRow("nothing after COM") << "Modem (COM" << 0;
        QTest::newRow("letters after COM") << "COMPUTER link" << 0;
        QTest::newRow("lower case is not COM") << "Port (com4)" << 0;
        QTest::newRow("no COM at all") << "Printer port (LPT1)" << 0;
        QTest::newRow("zero") << "Port (COM0)" << 0;
    }
    void portNumberIsReadAfterTheLastCom() {
        QFETCH(QString, name);
        QFETCH(int, port);
        QCOMPARE(PortMarks::PortNumberInName(name), port);
    }

    void devicesMarkTheirPorts_data() {
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("present");
        const QString acpi = QStringLiteral("ACPI\\PNP0501\\1");
        QTest::newRow("COM3") << acpi << "Communications Port (COM3)" << QList<int>{3};
        QTest::newRow("COM1") << acpi << "Communications Port (COM1)" << QList<int>{1};
        QTest::newRow("COM8") << acpi << "Communications Port (COM8)" << QList<int>{8};
        QTest::newRow("COM9 out of range") << acpi << "Port (COM9)" << QList<int>{};
        QTest::newRow("COM12 out of range") << acpi << "USB Serial (COM12)" << QList<int>{};
        QTest::newRow("PCI card") << "PCI\\VEN_9710&DEV_9865\\4"
                                  << "PCI Serial (COM4)" << QList<int>{};
        QTest::newRow("pci in lower case is not a PCI ID") << "pci\\x"
                                                           << "Serial (COM4)" << QList<int>{4};
        QTest::newRow("PCI later in the ID") << "USB\\PCIX"
                                             << "Serial (COM6)" << QList<int>{6};
    }
    void devicesMarkTheirPorts() {
        QFETCH(QString, deviceId);
        QFETCH(QString, name);
        QFETCH(QList<int>, present);
        const PortMarks::PortMarkList marks = MarkPorts({{deviceId, name, QString()}});
        for (int k = 1; k <= PortMarks::PortCount; ++k)
            QCOMPARE(marks[static_cast<size_t>(k - 1)].Present, present.contains(k));
    }

    void entriesShowWhichPortsWereFound() {
        const auto marks = MarkPorts({{QStringLiteral("ACPI\\1"), QStringLiteral("A (COM2)"), {}},
                                      {QStringLiteral("USB\\2"), QStringLiteral("B (COM7)"), {}}});
        QCOMPARE(PortMarks::PortEntryTexts(marks),
                 QStringList({"Com1 --", "Com2 有効", "Com3 --", "Com4 --", "Com5 --", "Com6 --",
                              "Com7 有効", "Com8 --"}));
    }

    void noDevicesGiveEightAbsentEntries() {
        QCOMPARE(PortMarks::PortEntryTexts(MarkPorts({})),
                 QStringList({"Com1 --", "Com2 --", "Com3 --", "Com4 --", "Com5 --", "Com6 --",
                              "Com7 --", "Com8 --"}));
    }

    void markKeepsTheDevicePath() {
        const auto marks = MarkPorts({{QStringLiteral("X"), QStringLiteral("/dev/pts/4 (COM3)"),
                                       QStringLiteral("/dev/pts/4")},
                                      {QStringLiteral("PCI\\Y"), QStringLiteral("Card (COM5)"),
                                       QStringLiteral("/dev/ttyS4")}});
        QCOMPARE(marks[2].Path, QStringLiteral("/dev/pts/4"));
        QVERIFY(marks[4].Path.isEmpty());
        QVERIFY(!marks[4].Present);
    }
};

QTEST_APPLESS_MAIN(PortMarksTest)
#include "tst_portmarks.moc"
