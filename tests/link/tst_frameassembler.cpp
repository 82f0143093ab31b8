#include <QSignalSpy>
#include <QTest>

#include "DialogsDouble.h"
#include "FrameAssembler.h"
#include "G_Param.h"
#include "MeterLink.h"
#include "RecordingDisplay.h"
#include "SerialPortDouble.h"
#include "TestProgramFolder.h"

namespace {
// Frames are built from parts: a hex escape would swallow a following digit or A-F.
QByteArray Frame(const QByteArray& body) {
    return '\x02' + body + '\x03';
}
constexpr int kNoError = -1;
}  // namespace

class TestFrameAssembler : public QObject {
    Q_OBJECT
private slots:
    void init() { m_folder = std::make_unique<TestProgramFolder>(); }

    void framesAreAssembledFromChunks_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<int>("errorAfterChunk");  // an error event follows this chunk
        QTest::addColumn<QString>("lastCommand");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("recvStateAfter");
        QTest::addColumn<QByteArray>("bufferAfter");

        QTest::newRow("two frames in one chunk")
            << QList<QByteArray>{Frame("SY0 170.2 ") + Frame("TZ0  60.5 ")} << kNoError << QString()
            << QStringList{"SY", "TZ"} << QStringList{" 170.2 ", "  60.5 "} << 0 << QByteArray();
        QTest::newRow("frame split over chunks")
            << QList<QByteArray>{"\x02", "SY0 1", "70.2", " \x03"} << kNoError << QString()
            << QStringList{"SY"} << QStringList{" 170.2 "} << 0 << QByteArray();
        QTest::newRow("unfinished frame waits for the next chunk")
            << QList<QByteArray>{Frame("SY0 170.2 ") + "\x02" + "ZK0 8"} << kNoError << QString()
            << QStringList{"SY"} << QStringList{" 170.2 "} << 1
            << QByteArray(
                   "\x02"
                   "ZK0 8");
        QTest::newRow("noise before the first frame and between frames")
            << QList<QByteArray>{"abc\r\n" + Frame("SY0 170.2 ") + "xyz", "  " + Frame("SE0")}
            << kNoError << QString() << QStringList{"SY", "SE"} << QStringList{" 170.2 ", "\x03"}
            << 0 << QByteArray();
        QTest::newRow("second STX inside a frame stays in the frame")
            << QList<QByteArray>{"\x02" "SY0 1\x02" "70  \x03"} << kNoError << QString()
            << QStringList{"SY"} << QStringList{" 1\x02" "70  "} << 0 << QByteArray();
        QTest::newRow("ROM version reads characters 2 and 3")
            << QList<QByteArray>{Frame("13"), Frame("SY0 170.2 ")} << kNoError
            << QStringLiteral("%V") << QStringList{"13", "SY"} << QStringList{"1.3", "S.Y"} << 0
            << QByteArray();
        QTest::newRow("short frame value ends with the ETX")
            << QList<QByteArray>{Frame("SY0170.2")} << kNoError << QString() << QStringList{"SY"}
            << QStringList{"170.2\x03"} << 0 << QByteArray();
        QTest::newRow("code-only frame has an empty value")
            << QList<QByteArray>{Frame("ST")} << kNoError << QString() << QStringList{"ST"}
            << QStringList{""} << 0 << QByteArray();
        QTest::newRow("ETX without a frame finishes an empty frame")
            << QList<QByteArray>{"\x03"} << kNoError << QString() << QStringList{""}
            << QStringList{""} << 0 << QByteArray();
        QTest::newRow("error event in the middle keeps the partial frame")
            << QList<QByteArray>{"\x02" "SY0 17", "0.2 \x03"} << 0 << QString()
            << QStringList{"SY"} << QStringList{" 170.2 "} << 0 << QByteArray();
        QTest::newRow("error event leaves an unfinished frame waiting")
            << QList<QByteArray>{"\x02" "TZ0 6"} << 0 << QString() << QStringList{} << QStringList{}
            << 1 << QByteArray("\x02" "TZ0 6");
    }

    // The pure assembler and the receive event of the link give the same frames.
    void framesAreAssembledFromChunks() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(int, errorAfterChunk);
        QFETCH(QString, lastCommand);
        QFETCH(QStringList, codes);
        QFETCH(QStringList, values);
        QFETCH(int, recvStateAfter);
        QFETCH(QByteArray, bufferAfter);

        FrameAssembler assembler;
        QStringList pureCodes, pureValues;
        for (const QByteArray& chunk : chunks) {
            for (const QStringView frame : assembler.Feed(QString::fromLatin1(chunk))) {
                const FrameResponse response = ResponseOf(frame, lastCommand);
                pureCodes << response.ResponseCode.toString();
                pureValues << response.ResponseData.toString();
            }
        }
        QCOMPARE(pureCodes, codes);
        QCOMPARE(pureValues, values);
        QCOMPARE(int(assembler.RecvState()), recvStateAfter);
        QCOMPARE(assembler.FrameBuffer(), QString::fromLatin1(bufferAfter));

        G_Param.LastCommand = lastCommand;
        SerialPortDouble port;
        DialogsDouble dialogs;
        RecordingDisplay display;
        MeterLink link(port, dialogs, display);
        QVERIFY(link.SetLinkOnline(true));
        QSignalSpy frames(&link, &MeterLink::FrameReceived);
        for (int i = 0; i < chunks.size(); ++i) {
            port.Receive(chunks[i]);
            if (i == errorAfterChunk) port.RaiseEvent(CommEvents::Frame);
        }
        QStringList linkCodes, linkValues;
        for (const auto& args : frames) {
            linkCodes << args.at(0).toString();
            linkValues << args.at(1).toString();
        }
        QCOMPARE(linkCodes, codes);
        QCOMPARE(linkValues, values);
        QCOMPARE(int(link.Assembler().RecvState()), recvStateAfter);
        QCOMPARE(link.Assembler().FrameBuffer(), QString::fromLatin1(bufferAfter));
        if (errorAfterChunk != kNoError) {
            const QStringList errorTexts{
                QStringLiteral("フレーム エラーです\r\n通信設定は合っていますか？")};
            QCOMPARE(display.Notices, errorTexts);
            // A line error keeps the link up.
            QVERIFY(port.PortOpen());
            QCOMPARE(link.ConnectCaption(), QStringLiteral("オンライン"));
        }
    }

    // Megabytes without an end character never pile up; the next real frame still reads.
    void endlessFrameIsDroppedAndTheNextFrameReads() {
        FrameAssembler assembler;
        const QString noise = QString(u'\x02') + QString(4 * 1024 * 1024, u'7');
        QVERIFY(assembler.Feed(noise).isEmpty());
        QVERIFY(assembler.FrameBuffer().size() <= 256);
        QCOMPARE(assembler.Feed(QStringLiteral("\x02SY,  170.2\x03")).Texts(),
                 QStringList{QStringLiteral("\x02SY,  170.2\x03")});
    }

private:
    std::unique_ptr<TestProgramFolder> m_folder;
};

QTEST_MAIN(TestFrameAssembler)
#include "tst_frameassembler.moc"
