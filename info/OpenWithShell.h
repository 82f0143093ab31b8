#pragma once

#include <QString>

class Shell;

// Hands a web address or a mail address to the desktop shell: a blank target does nothing, a
// target with "@" gets "mailto:" in front, a web address without a scheme ("www.…") "https://".
// Whether the shell managed is not reported: a missing browser or mail program shows nothing.
void OpenWithShell(Shell& shell, const QString& target);
