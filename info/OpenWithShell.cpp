#include "OpenWithShell.h"

#include "Services.h"

void OpenWithShell(Shell& shell, const QString& target) {
    if (target.trimmed().isEmpty()) return;
    QString address = target;
    if (address.contains(u'@') && !address.startsWith(QStringLiteral("mailto:")))
        address.prepend(QStringLiteral("mailto:"));
    // A web address configured as "www.…" has no scheme, and the shell would take it for a
    // file name.
    else if (!address.contains(QStringLiteral("://")) && !address.contains(u'@') &&
             !address.startsWith(u'/'))
        address = QStringLiteral("https://") + address.trimmed();
    shell.Open(address);
}
