#pragma once

#include <QString>

// Fixed values of the program.
namespace G_Const {
constexpr int MaxNumber = 1500;  // highest record No. and longest name list
constexpr int RecordLength = 150;
constexpr int HeaderRecords = 2;
inline const QString ProductName = QStringLiteral("Hakaron");
inline const QString Version = QStringLiteral("ver.1.30");
// The system named after the product: the one the program runs on.
#if defined(Q_OS_WIN)
inline const QString ForSystem = QStringLiteral("(for Windows)");
#elif defined(Q_OS_MACOS)
inline const QString ForSystem = QStringLiteral("(for macOS)");
#elif defined(Q_OS_LINUX)
inline const QString ForSystem = QStringLiteral("(for Linux)");
#else
inline const QString ForSystem = QStringLiteral("(for Unix)");
#endif
inline const QString RecordFileName = QStringLiteral("zqmtemp.rdm");
inline const QString SettingsFileName = QStringLiteral("user.dat");
inline const QString WorkFolderName = QStringLiteral("Org");
inline const QString NameListFolderName = QStringLiteral("Name_List");
inline const QString DefaultCommSettings = QStringLiteral("4800,E,8,1");
}  // namespace G_Const
