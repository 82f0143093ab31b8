#include "SettingsFile.h"

#include <QStringList>
#include <cmath>
#include <limits>
#include <optional>

#include "Cp932.h"

namespace {

// Splits the text into items the way the file is written: separated by commas or line
// ends, a quoted item running to its closing quote (commas inside kept).
QStringList SplitItems(const QString& text) {
    QStringList items;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
        if (i >= n) break;
        QString item;
        if (text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            item = text.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Anything between the closing quote and the separator is not part of the item.
            while (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') ++i;
            item = text.mid(start, i - start).trimmed();
        }
        items << item;
        // One separator; a CR LF pair counts as one line end.
        if (i < n && text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        if (i < n) ++i;
    }
    return items;
}

template <typename T>
std::optional<T> ToNumber(const QString& item) {
    if (item.isEmpty()) return T(0);
    bool ok = false;
    const double v = item.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    const double rounded = std::nearbyint(v);
    if (rounded < std::numeric_limits<T>::min() || rounded > std::numeric_limits<T>::max())
        return std::nullopt;
    return T(rounded);
}

}  // namespace

namespace SettingsFile {

QByteArray Format(const UserSettings& s) {
    // Joined piece by piece: a '%' in the text must not be taken for a place marker.
    const QString line = u'"' + s.CommSettings + u'"' + u',' + QString::number(s.PortNumber) +
                         u',' + QString::number(s.OperationMode) + u',' +
                         QString::number(s.AutoWriteOn) + u',' + QString::number(s.AutoWriteDelay) +
                         QStringLiteral("\r\n");
    return Cp932::Encode(line);
}

int Parse(const QByteArray& bytes, UserSettings& settings) {
    const QStringList items = SplitItems(Cp932::Decode(bytes));
    int read = 0;
    if (items.size() <= read) return read;
    settings.CommSettings = items[read++];
    const auto port = items.size() > read ? ToNumber<int16_t>(items[read]) : std::nullopt;
    if (!port) return read;
    settings.PortNumber = *port;
    ++read;
    const auto mode = items.size() > read ? ToNumber<int16_t>(items[read]) : std::nullopt;
    if (!mode) return read;
    settings.OperationMode = *mode;
    ++read;
    const auto autoOn = items.size() > read ? ToNumber<uint8_t>(items[read]) : std::nullopt;
    if (!autoOn) return read;
    settings.AutoWriteOn = *autoOn;
    ++read;
    const auto delay = items.size() > read ? ToNumber<int16_t>(items[read]) : std::nullopt;
    if (!delay) return read;
    settings.AutoWriteDelay = *delay;
    return ++read;
}

}  // namespace SettingsFile
