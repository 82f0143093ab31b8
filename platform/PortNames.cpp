#include "PortNames.h"

#include <QFileInfo>

QString DevicePathForPort(int port, const QString& appFolder) {
#ifdef Q_OS_WIN
    Q_UNUSED(appFolder);
    return QStringLiteral("COM%1").arg(port);
#else
    const QString link = appFolder + QStringLiteral("/ports/COM%1").arg(port);
    const QFileInfo info(link);
    if (info.isSymLink()) return info.symLinkTarget();
    if (info.exists()) return link;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}
