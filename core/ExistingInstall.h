#pragma once

#include <QString>

// Uninstall command of an earlier installation, or empty.
QString checkAlreadyInstall();

// The program a stored uninstall command names: quotes gone, "/" separators.
QString uninstallerProgram(const QString& uninstallCommand);

// Runs a stored uninstaller path as one program (a path with spaces stays whole).
void runUninstaller(const QString& uninstallCommand);
