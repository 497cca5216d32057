#pragma once

#include <QString>

// Writes the five values of the uninstall entry, in order.
void writeUninstallEntry(const QString& displayName, const QString& productExe,
                         const QString& uninstallerExe);
