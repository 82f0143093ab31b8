#include "PdfTextLayer.h"

#include <QList>
#include <QString>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The ideograph a radical stands for, or 0.
char16_t Ideograph(int code) {
    if (code < 0x2E80 || code > 0x2FDF) return 0;
    const QString plain = QString(QChar(char16_t(code))).normalized(QString::NormalizationForm_KC);
    return plain.size() == 1 && plain[0].unicode() != code ? plain[0].unicode() : 0;
}

// Rewrites the four-digit hex token at `at` ("<2F9D>") when it is a radical.
void MendToken(QByteArray& pdf, qsizetype at) {
    int code = 0;
    for (int i = 1; i <= 4; ++i) {
        const int digit = HexValue(pdf[at + i]);
        if (digit < 0) return;
        code = code * 16 + digit;
    }
    const char16_t ideograph = Ideograph(code);
    if (ideograph == 0) return;
    const QByteArray hex = QByteArray::number(ideograph, 16).toUpper().rightJustified(4, '0');
    for (int i = 0; i < 4; ++i) pdf[at + 1 + i] = hex[i];
}

// The destinations of one line of a map section: after one source code in a bfchar line,
// after two in a bfrange line. A range "<a> <b> <d>" with a < b counts up from d and is left.
void MendLine(QByteArray& pdf, qsizetype begin, qsizetype end, int sources) {
    QList<qsizetype> tokens;
    bool array = false;
    for (qsizetype i = begin; i < end; ++i) {
        if (pdf[i] == '[') array = true;
        if (pdf[i] == '<' && i + 5 < end + 1 && pdf[i + 5] == '>') tokens << i;
    }
    if (tokens.size() <= sources) return;
    if (sources == 2 && !array && pdf.mid(tokens[0], 6) != pdf.mid(tokens[1], 6)) return;
    for (qsizetype t = sources; t < tokens.size(); ++t) MendToken(pdf, tokens[t]);
}

void MendSections(QByteArray& pdf, const QByteArray& begin, const QByteArray& end, int sources) {
    qsizetype from = 0;
    while ((from = pdf.indexOf(begin, from)) >= 0) {
        const qsizetype stop = pdf.indexOf(end, from);
        if (stop < 0) return;
        qsizetype line = pdf.indexOf('\n', from);
        while (line >= 0 && line < stop) {
            const qsizetype next = pdf.indexOf('\n', line + 1);
            MendLine(pdf, line + 1, next < 0 || next > stop ? stop : next, sources);
            line = next;
        }
        from = stop;
    }
}

}  // namespace

namespace PdfTextLayer {

QByteArray Mend(QByteArray pdf) {
    MendSections(pdf, "beginbfchar", "endbfchar", 1);
    MendSections(pdf, "beginbfrange", "endbfrange", 2);
    return pdf;
}

}  // namespace PdfTextLayer
