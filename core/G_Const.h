#pragma once

#include <QString>

// Fixed values of the program.
namespace G_Const {
constexpr int MaxNumber = 1500;  // highest record No. and longest name list
constexpr int RecordLength = 150;
constexpr int HeaderRecords = 2;
inline const QString ProductName = QStringLiteral("Hakaron");
inline const QString Version = QStringLiteral("ver.1.30");
inline const QString RecordFileName = QStringLiteral("zqmtemp.rdm");
inline const QString SettingsFileName = QStringLiteral("user.dat");
inline const QString WorkFolderName = QStringLiteral("Org");
inline const QString NameListFolderName = QStringLiteral("Name_List");
inline const QString DefaultCommSettings = QStringLiteral("4800,E,8,1");
}  // namespace G_Const
