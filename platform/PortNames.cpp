#include "PortNames.h"

#include <QFileInfo>

PortDevice ResolvePort(int port, const QString& appFolder, bool hadLink) {
#ifdef Q_OS_WIN
    Q_UNUSED(appFolder);
    Q_UNUSED(hadLink);
    return {QStringLiteral("COM%1").arg(port), false, true};
#else
    const QString link = appFolder + QStringLiteral("/ports/COM%1").arg(port);
    const QFileInfo info(link);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        return {target, true, QFileInfo::exists(target)};
    }
    if (info.exists()) return {link, true, true};
    if (hadLink) return {{}, true, false};
    const QString builtIn = QStringLiteral("/dev/ttyS%1").arg(port - 1);
    return {builtIn, false, QFileInfo::exists(builtIn)};
#endif
}

QString DevicePathForPort(int port, const QString& appFolder) {
    return ResolvePort(port, appFolder).Path;
}
