#pragma once

#include <QByteArray>
#include <QString>

// External programs the installer relies on.
namespace ExternalTools {

// The 7-Zip command-line program, as an absolute path that may not exist:
// on Windows the 7z.exe shipped beside the installer, never one found by
// searching (the current folder and PATH come into that search, so a planted
// 7z.exe would run); elsewhere the system's 7z, or "7z" when there is none.
QString sevenZipProgram();

// Runs a machine query such as "wmic csproduct get UUID" and returns its
// standard output, waiting at most timeoutMs; empty where the query tool is
// missing. On Windows the tool is the system's own, by its full path.
QByteArray runMachineQuery(const QString& commandLine, int timeoutMs);

} // namespace ExternalTools
