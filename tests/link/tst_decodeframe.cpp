#include <QTest>

#include "DialogsDouble.h"
#include "FrameAssembler.h"
#include "G_Param.h"
#include "RecordingDisplay.h"
#include "TestProgramFolder.h"
#include "mdlMainDisp.h"

Q_DECLARE_METATYPE(QList<int>)
Q_DECLARE_METATYPE(QList<bool>)

namespace {
constexpr int kDelaySeconds = 3;
const QList<int> kArmed{kDelaySeconds * 1000};
const QList<int> kNotArmed{};
const QString kState = QStringLiteral("現在の体重計の状態は、");
}  // namespace

class TestDecodeFrame : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        G_Param.AutoWriteOn = 1;
        G_Param.AutoWriteDelay = kDelaySeconds;
        m_display = RecordingDisplay{};
        m_dialogs = std::make_unique<DialogsDouble>();
    }

    void eachCodeShowsPrintsRefreshesAndArms_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("lastCommand");
        QTest::addColumn<QString>("message");  // empty: no message
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("refreshes");
        QTest::addColumn<QList<int>>("arms");

        const QString none;
        const QStringList noLines;
        // clang-format off
        QTest::newRow("ST both meters") << "ST" << "" << "MS" << "身長・体重計、共に動作しています"
                                        << noLines << 1 << kNotArmed;
        QTest::newRow("SY after MS: height meter only")
            << "SY" << "  170.2" << "MS" << "身長計のみ動作しています" << noLines << 1 << kNotArmed;
        QTest::newRow("SY height value") << "SY" << "  170.2" << "SY" << none
                                         << QStringList{"身長  170.2cm"} << 0 << kArmed;
        QTest::newRow("SY height with one leading space")
            << "SY" << " 170.2 " << "SY" << none << QStringList{"身長 170.2cm"} << 0 << kArmed;
        QTest::newRow("SY spaces only prints nothing but arms")
            << "SY" << "       " << "SY" << none << noLines << 0 << kArmed;
        QTest::newRow("SE height error")
            << "SE" << "       " << "SY" << none << QStringList{"身長エラー"} << 0 << kNotArmed;
        QTest::newRow("ZK after MS: sitting-height meter")
            << "ZK" << "   90.1" << "MS" << "座高計として動作しています" << noLines << 1
            << kNotArmed;
        QTest::newRow("ZK sitting-height value")
            << "ZK" << "   90.1" << "ZK" << none << QStringList{"座高   90.1cm"} << 0 << kArmed;
        QTest::newRow("ZE sitting-height error")
            << "ZE" << "" << "ZK" << none << QStringList{"座高エラー"} << 0 << kNotArmed;
        QTest::newRow("TZ after MS: scale only")
            << "TZ" << "   60.0" << "MS" << "体重計のみ動作しています" << noLines << 1 << kNotArmed;
        QTest::newRow("TZ weight value")
            << "TZ" << "   60.0" << "TZ" << none << QStringList{"体重   60.0kg"} << 0 << kArmed;
        QTest::newRow("TZ blank weight still arms")
            << "TZ" << "       " << "TZ" << none << noLines << 0 << kArmed;
        QTest::newRow("TE weight error")
            << "TE" << "" << "TZ" << none << QStringList{"体重エラー"} << 0 << kNotArmed;
        QTest::newRow("TR tare keeps the spaces")
            << "TR" << "    0.5" << "TR" << "現在の風袋引き設定は、    0.5kgです" << noLines << 1
            << kNotArmed;
        QTest::newRow("TL after %W refreshes") << "TL" << "    8.2" << "%W"
                                               << kState + "10kg未満で安定です"
                                               << QStringList{"体重    8.2kg"} << 1 << kNotArmed;
        QTest::newRow("TL after WT arms") << "TL" << "    8.2" << "WT"
                                          << kState + "10kg未満で安定です"
                                          << QStringList{"体重    8.2kg"} << 0 << kArmed;
        QTest::newRow("TH after %W refreshes") << "TH" << "   60.0" << "%W"
                                               << kState + "10kg以上で安定です"
                                               << QStringList{"体重   60.0kg"} << 1 << kNotArmed;
        QTest::newRow("TH after WT arms") << "TH" << "   60.0" << "WT"
                                          << kState + "10kg以上で安定です"
                                          << QStringList{"体重   60.0kg"} << 0 << kArmed;
        QTest::newRow("UL unstable") << "UL" << "" << "WT" << kState + "不安定な状態です"
                                     << noLines << 1 << kArmed;
        QTest::newRow("UL after %W does not arm") << "UL" << "" << "%W" << kState + "不安定な状態です"
                                                  << noLines << 1 << kNotArmed;
        QTest::newRow("OV over range") << "OV" << "" << "WT"
                                       << kState + "測定範囲をオーバーしています" << noLines << 1
                                       << kArmed;
        QTest::newRow("HD hold") << "HD" << "" << "WT" << kState + "ホールド中です" << noLines << 1
                                 << kArmed;
        QTest::newRow("HD after %W does not arm")
            << "HD" << "" << "%W" << kState + "ホールド中です" << noLines << 1 << kNotArmed;
        QTest::newRow("ER after %W long message")
            << "ER" << "" << "%W" << kState + "未動作です" << noLines << 1 << kNotArmed;
        QTest::newRow("ER otherwise short message")
            << "ER" << "" << "WT" << "未動作です" << noLines << 1 << kNotArmed;
        QTest::newRow("unknown code under %V: ROM version")
            << "12" << " 1.2 " << "%V" << "この身長体重計のROMバージョンは「1.2」です" << noLines
            << 1 << kNotArmed;
        QTest::newRow("empty code under %V: empty version")
            << "" << "" << "%V" << "この身長体重計のROMバージョンは「」です" << noLines << 1
            << kNotArmed;
        QTest::newRow("unknown code only refreshes")
            << "XX" << "   12.3" << "SY" << none << noLines << 1 << kNotArmed;
        QTest::newRow("empty code only refreshes")
            << "" << "" << "TZ" << none << noLines << 1 << kNotArmed;
        QTest::newRow("SY short frame: its ETX is not printed")
            << "SY" << "170.2\x03" << "SY" << none << QStringList{"身長170.2cm"} << 0 << kArmed;
        QTest::newRow("TR with a NUL: a space in the message")
            << "TR" << QStringLiteral("\x00   0.5") << "TR" << "現在の風袋引き設定は、    0.5kgです"
            << noLines << 1 << kNotArmed;
        QTest::newRow("short frame under %V: no ETX in the version")
            << "" << "\x03." << "%V" << "この身長体重計のROMバージョンは「.」です" << noLines << 1
            << kNotArmed;
        QTest::newRow("height 1540 is told, still stored") << "SY" << "   1540" << "SY" << none
            << QStringList{"身長   1540cm", "測定値を確認してください（身長 1540 cm）"} << 0 << kArmed;
        QTest::newRow("height 49.9 is told") << "SY" << "   49.9" << "SY" << none
            << QStringList{"身長   49.9cm", "測定値を確認してください（身長 49.9 cm）"} << 0 << kArmed;
        QTest::newRow("height 220.0 is not")
            << "SY" << "  220.0" << "SY" << none << QStringList{"身長  220.0cm"} << 0 << kArmed;
        QTest::newRow("weight 250.1 is told") << "TZ" << "  250.1" << "TZ" << none
            << QStringList{"体重  250.1kg", "測定値を確認してください（体重 250.1 kg）"} << 0 << kArmed;
        QTest::newRow("weight 4.9 is told") << "TZ" << "    4.9" << "TZ" << none
            << QStringList{"体重    4.9kg", "測定値を確認してください（体重 4.9 kg）"} << 0 << kArmed;
        QTest::newRow("weight 5.0 is not")
            << "TZ" << "    5.0" << "TZ" << none << QStringList{"体重    5.0kg"} << 0 << kArmed;
        QTest::newRow("codes are case-sensitive")
            << "sy" << "  170.2" << "SY" << none << noLines << 1 << kNotArmed;
        // clang-format on
    }

    void eachCodeShowsPrintsRefreshesAndArms() {
        QFETCH(QString, code);
        QFETCH(QString, data);
        QFETCH(QString, lastCommand);
        QFETCH(QString, message);
        QFETCH(QStringList, lines);
        QFETCH(int, refreshes);
        QFETCH(QList<int>, arms);
        G_Param.LastCommand = lastCommand;

        DecodeFrame(code, data, m_display, *m_dialogs);

        if (message.isEmpty()) {
            QCOMPARE(m_dialogs->Transcript.size(), 0);
        } else {
            QCOMPARE(m_dialogs->Transcript.size(), 1);
            const auto& entry = m_dialogs->Transcript.first();
            QCOMPARE(entry.Kind, QStringLiteral("message"));
            QCOMPARE(entry.Icon, MsgIcon::Information);
            QCOMPARE(entry.Title, QStringLiteral("Hakaron"));
            QCOMPARE(entry.Text, message);
        }
        QCOMPARE(m_display.Lines, lines);
        QCOMPARE(m_display.Refreshes, refreshes);
        QCOMPARE(m_display.Arms, arms);
        QCOMPARE(G_Param.LastCommand, lastCommand);  // decoding never changes it
    }

    void valuesAreStoredInCurrentValuesAndRecordBuffer_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("sittingHeight");
        QTest::addColumn<QString>("weight");

        QTest::newRow("height") << "SY"
                                << "  170.2"
                                << "  170.2   "
                                << ""
                                << "";
        QTest::newRow("spaces-only height stores the spaces") << "SY"
                                                              << "       "
                                                              << "          "
                                                              << ""
                                                              << "";
        QTest::newRow("sitting height") << "ZK"
                                        << "   90.1"
                                        << ""
                                        << "   90.1   "
                                        << "";
        QTest::newRow("weight") << "TZ"
                                << "   60.0"
                                << ""
                                << ""
                                << "   60.0   ";
        QTest::newRow("ETX of a short frame becomes a space") << "SY"
                                                              << "170.2\x03"
                                                              << "170.2     "
                                                              << ""
                                                              << "";
        QTest::newRow("NULs and line noise become spaces")
            << "TZ" << QStringLiteral("\x00\x7f\x85 60.0") << ""
            << ""
            << "    60.0";
    }

    void valuesAreStoredInCurrentValuesAndRecordBuffer() {
        QFETCH(QString, code);
        QFETCH(QString, data);
        QFETCH(QString, height);
        QFETCH(QString, sittingHeight);
        QFETCH(QString, weight);
        G_Param.LastCommand = code;

        DecodeFrame(code, data, m_display, *m_dialogs);

        const MeasureValues& cv = G_Param.CurrentValues;
        const MeasureValues& rb = G_Param.RecordBuffer.Values;
        QCOMPARE(cv.Height.Value(), Text10(height).Value());
        QCOMPARE(cv.SittingHeight.Value(), Text10(sittingHeight).Value());
        QCOMPARE(cv.Weight.Value(), Text10(weight).Value());
        QCOMPARE(rb.Height.Value(), cv.Height.Value());
        QCOMPARE(rb.SittingHeight.Value(), cv.SittingHeight.Value());
        QCOMPARE(rb.Weight.Value(), cv.Weight.Value());
    }

    void errorsBlankTheirValueOnly_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("height error") << "SE";
        QTest::newRow("sitting-height error") << "ZE";
        QTest::newRow("weight error") << "TE";
    }

    void errorsBlankTheirValueOnly() {
        QFETCH(QString, code);
        G_Param.LastCommand = QStringLiteral("ST");
        for (MeasureValues* v : {&G_Param.CurrentValues, &G_Param.RecordBuffer.Values}) {
            v->Height = QStringLiteral("170.2");
            v->SittingHeight = QStringLiteral("90.1");
            v->Weight = QStringLiteral("60.0");
        }

        DecodeFrame(code, QStringLiteral("       "), m_display, *m_dialogs);

        for (const MeasureValues* v : {&G_Param.CurrentValues, &G_Param.RecordBuffer.Values}) {
            QCOMPARE(v->Height.IsBlank(), code == u"SE");
            QCOMPARE(v->SittingHeight.IsBlank(), code == u"ZE");
            QCOMPARE(v->Weight.IsBlank(), code == u"TE");
        }
    }

    void weightComputesIndicesAndShowsBmi() {
        G_Param.LastCommand = QStringLiteral("TZ");
        DecodeFrame(QStringLiteral("SY"), QStringLiteral("  170.0"), m_display, *m_dialogs);
        DecodeFrame(QStringLiteral("TZ"), QStringLiteral("   60.0"), m_display, *m_dialogs);

        QCOMPARE(m_display.BmiLabel, QStringLiteral("20.8"));
        QCOMPARE(G_Param.CurrentValues.Bmi.Trimmed(), QStringLiteral("20.8"));
        QCOMPARE(G_Param.RecordBuffer.Values.BmiStdWeight.Trimmed(), QStringLiteral("63.58"));
        QCOMPARE(G_Param.RecordBuffer.Values.HibiObesityMale.Trimmed(), QStringLiteral("-5.12"));
        QCOMPARE(m_display.Lines,
                 (QStringList{QStringLiteral("身長  170.0cm"), QStringLiteral("体重   60.0kg")}));
    }

    void weightStatusRecomputesIndices() {
        G_Param.LastCommand = QStringLiteral("%W");
        G_Param.CurrentValues.Height = QStringLiteral("170");
        m_dialogs->OnMessage = [this](const QString&) { m_display.Events << "message"; };
        DecodeFrame(QStringLiteral("TH"), QStringLiteral("   60.0"), m_display, *m_dialogs);

        QCOMPARE(G_Param.CurrentValues.Weight.Trimmed(), QStringLiteral("60.0"));
        QCOMPARE(m_display.BmiLabel, QStringLiteral("20.8"));
        // The weight line is on the box before the status message shows.
        QCOMPARE(m_display.Events,
                 (QStringList{QStringLiteral("print:体重   60.0kg"), QStringLiteral("message"),
                              QStringLiteral("refresh")}));
    }

    void weightWithoutHeightShowsNoBmi() {
        G_Param.LastCommand = QStringLiteral("TZ");
        DecodeFrame(QStringLiteral("TZ"), QStringLiteral("   60.0"), m_display, *m_dialogs);
        QCOMPARE(m_display.BmiLabel, QStringLiteral("--"));
        QVERIFY(G_Param.CurrentValues.Bmi.IsBlank());
    }

    // Only a weight that a later weight of the same receive event replaces, with nothing but
    // lengths between, may leave its indices underived.
    void laterWeightOfTheSameEventReplacesTheIndices_data() {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("lastCommand");
        QTest::addColumn<QList<bool>>("needed");
        QTest::newRow("lengths between")
            << u"TZ SY ZK TZ"_qs << u"ST"_qs << QList<bool>{false, true, true, true};
        QTest::newRow("three weights")
            << u"TZ TZ SY TZ"_qs << u"TZ"_qs << QList<bool>{false, false, true, true};
        QTest::newRow("status between")
            << u"TZ UL TZ"_qs << u"ST"_qs << QList<bool>{true, true, true};
        QTest::newRow("scale state replies show theirs")
            << u"TZ TL TZ"_qs << u"%W"_qs << QList<bool>{true, true, true};
        QTest::newRow("meter-status replies are messages")
            << u"TZ TZ"_qs << u"MS"_qs << QList<bool>{true, true};
    }
    void laterWeightOfTheSameEventReplacesTheIndices() {
        QFETCH(QString, codes);
        QFETCH(QString, lastCommand);
        QFETCH(QList<bool>, needed);
        QString chunk;
        for (const QString& code : codes.split(u' '))
            chunk += QChar(u'\x02') + code + u"0   60.0\x03"_qs;
        const std::vector<bool> result =
            WeightIndicesNeeded(FrameAssembler().Feed(chunk), lastCommand);
        QCOMPARE(QList<bool>(result.begin(), result.end()), needed);
    }

    void automaticWritingOffNeverArms_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("height") << "SY";
        QTest::newRow("sitting height") << "ZK";
        QTest::newRow("weight") << "TZ";
        QTest::newRow("stable") << "TL";
        QTest::newRow("unstable") << "UL";
    }

    void automaticWritingOffNeverArms() {
        QFETCH(QString, code);
        G_Param.AutoWriteOn = 0;
        G_Param.LastCommand = QStringLiteral("WT");
        DecodeFrame(code, QStringLiteral("   60.0"), m_display, *m_dialogs);
        QCOMPARE(m_display.Arms, kNotArmed);
    }

    void armingUsesTheDelayHeldToOneMinute_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("ms");
        QTest::addColumn<bool>("afterValue");
        QTest::newRow("7 s") << 7 << "SY" << 7000 << true;
        QTest::newRow("0 s waits 1 s") << 0 << "SY" << 1000 << true;
        QTest::newRow("negative waits 1 s") << -5 << "TZ" << 1000 << true;
        QTest::newRow("huge waits 60 s") << 32000 << "ZK" << 60000 << true;
        QTest::newRow("status frame arms without a value") << 7 << "UL" << 7000 << false;
    }
    void armingUsesTheDelayHeldToOneMinute() {
        QFETCH(int, stored);
        QFETCH(QString, code);
        QFETCH(int, ms);
        QFETCH(bool, afterValue);
        G_Param.AutoWriteDelay = int16_t(stored);
        G_Param.LastCommand = code;
        DecodeFrame(code, QStringLiteral("  170.2"), m_display, *m_dialogs);
        QCOMPARE(m_display.Arms, QList<int>{ms});
        QCOMPARE(m_display.ArmsAfterValue, QList<bool>{afterValue});
    }

private:
    std::unique_ptr<TestProgramFolder> m_folder;
    RecordingDisplay m_display;
    std::unique_ptr<DialogsDouble> m_dialogs;
};

QTEST_MAIN(TestDecodeFrame)
#include "tst_decodeframe.moc"
