#include "OpenWithShell.h"

#include "Services.h"

void OpenWithShell(Shell& shell, const QString& target) {
    if (target.trimmed().isEmpty()) return;
    QString address = target;
    if (address.contains(u'@') && !address.startsWith(QStringLiteral("mailto:")))
        address.prepend(QStringLiteral("mailto:"));
    shell.Open(address);
}
