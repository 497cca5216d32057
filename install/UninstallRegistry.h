#pragma once

#include <QString>

// Writes the five values of the uninstall entry, in order: for the machine,
// or for the current user where the machine's entry cannot be written.
void writeUninstallEntry(const QString& displayName, const QString& productExe,
                         const QString& uninstallerExe);

// A program path as a command line: quoted when it holds a space.
QString quotedCommand(const QString& program);
