#pragma once

#include <QString>

// The installed product's own names, per edition: its folder under the
// chosen root, its program and its uninstaller in that folder.
namespace ProductFiles {

inline QString folderName(bool green)
{
    return green ? QStringLiteral("quorbelMasterRecovery") : QStringLiteral("corvaneMasterRecovery");
}

inline QString program(const QString& installDir, bool green)
{
    return installDir + QLatin1Char('/') + folderName(green) + QStringLiteral(".exe");
}

inline QString uninstaller(const QString& installDir, bool green)
{
    return installDir +
           (green ? QStringLiteral("/quorbelMasterUninst.exe") : QStringLiteral("/corvaneMasterUninst.exe"));
}

} // namespace ProductFiles
