#pragma once

#include <QString>

// Uninstall command of an earlier installation, or empty.
QString checkAlreadyInstall();

// Asks whether to remove the earlier installation; on Yes runs the uninstaller
// and waits for it to end.
void offerUninstall(const QString& uninstallCommand);

// The program a stored uninstall command names: quotes gone, "/" separators.
QString uninstallerProgram(const QString& uninstallCommand);

// Runs a stored uninstaller path as one program (a path with spaces stays whole).
void runUninstaller(const QString& uninstallCommand);
