#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "WindowTestSupport.h"  // FileBytes, DisplayRecorder, screenshots
#include "NameListFile.h"

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline NameListEntry Entry(const QString& a, const QString& b = {}, const QString& c = {}) {
    return NameListEntry{{a, b, c}};
}

// The first items of the entries, in order: enough to see an order.
inline QStringList FirstItems(const QList<NameListEntry>& entries) {
    QStringList items;
    for (const NameListEntry& e : entries) items << e.Items[0];
    return items;
}
