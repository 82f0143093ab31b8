#include <QTest>

#include "PdfTextLayer.h"

// The ToUnicode maps as QPdfWriter writes them, mended byte for byte: destinations only,
// never the glyph numbers before them, and nothing outside the maps.
class PdfTextLayerTest : public QObject {
    Q_OBJECT

private slots:
    void mendsOnlyTheDestinations_data() {
        QTest::addColumn<QByteArray>("pdf");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("array of a range") << QByteArray("1 beginbfrange\n<0001> <0003> [<2F9D> <2ED1> <0041>]\nendbfrange\n")
                                          << QByteArray("1 beginbfrange\n<0001> <0003> [<8EAB> <9577> <0041>]\nendbfrange\n");
        QTest::newRow("glyph numbers stay") << QByteArray("1 beginbfrange\n<2F9D> <2F9D> [<2F9D>]\nendbfrange\n")
                                            << QByteArray("1 beginbfrange\n<2F9D> <2F9D> [<8EAB>]\nendbfrange\n");
        QTest::newRow("one glyph, no array") << QByteArray("1 beginbfrange\n<0005> <0005> <2027>\nendbfrange\n")
                                             << QByteArray("1 beginbfrange\n<0005> <0005> <30FB>\nendbfrange\n");
        QTest::newRow("a counting range stays") << QByteArray("1 beginbfrange\n<0005> <0006> <2F9D>\nendbfrange\n")
                                                << QByteArray("1 beginbfrange\n<0005> <0006> <2F9D>\nendbfrange\n");
        QTest::newRow("bfchar") << QByteArray("2 beginbfchar\n<2F9D> <2F9D>\n<0007> <2003>\nendbfchar\n")
                                << QByteArray("2 beginbfchar\n<2F9D> <8EAB>\n<0007> <3000>\nendbfchar\n");
        QTest::newRow("outside the maps") << QByteArray("<2F9D> (x) beginbfrange") << QByteArray("<2F9D> (x) beginbfrange");
        // clang-format on
    }
    void mendsOnlyTheDestinations() {
        QFETCH(QByteArray, pdf);
        QFETCH(QByteArray, expected);
        const QHash<char16_t, char16_t> codes{
            {0x2F9D, 0x8EAB}, {0x2ED1, 0x9577}, {0x2027, 0x30FB}, {0x2003, 0x3000}};
        QCOMPARE(PdfTextLayer::Mend(pdf, codes), expected);
    }
};

QTEST_APPLESS_MAIN(PdfTextLayerTest)
#include "tst_pdftextlayer.moc"
