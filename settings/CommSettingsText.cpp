#include "CommSettingsText.h"

namespace CommSettingsText {

const QStringList& BaudRateEntries() {
    static const QStringList entries{QStringLiteral("600"), QStringLiteral("1200"),
                                     QStringLiteral("2400"), QStringLiteral("4800"),
                                     QStringLiteral("9600")};
    return entries;
}

const QStringList& DataBitEntries() {
    static const QStringList entries{QStringLiteral("8"), QStringLiteral("7")};
    return entries;
}

const QStringList& ParityEntries() {
    static const QStringList entries{QStringLiteral("Even"), QStringLiteral("Odd"),
                                     QStringLiteral("None")};
    return entries;
}

Selection FromPortSettings(const QString& settings) {
    const QStringList fields = settings.split(u',');
    Selection selection;
    selection.BaudRate = fields.value(0);
    // The port reports its parity letter in lower case; anything else selects nothing.
    const QString letter = fields.value(1).left(1);
    if (letter == QStringLiteral("e"))
        selection.Parity = QStringLiteral("Even");
    else if (letter == QStringLiteral("o"))
        selection.Parity = QStringLiteral("Odd");
    else if (letter == QStringLiteral("n"))
        selection.Parity = QStringLiteral("None");
    selection.DataBits = fields.value(2).left(1);
    return selection;
}

QString Build(const QString& baudRate, const QString& parity, const QString& dataBits) {
    return baudRate.trimmed() + u',' + parity.left(1) + u',' + dataBits.trimmed() +
           QStringLiteral(",1");
}

}  // namespace CommSettingsText
