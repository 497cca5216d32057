#pragma once

#include <QByteArray>
#include <QString>

// External programs the installer relies on.
namespace ExternalTools {

// The 7-Zip command-line program, found through the program search path.
QString sevenZipProgram();

// Runs a machine query such as "wmic csproduct get UUID" and returns its
// standard output, waiting at most timeoutMs. Where the query tool is not
// installed, the platform answers with what it knows, in the tool's format.
QByteArray runMachineQuery(const QString& commandLine, int timeoutMs);

} // namespace ExternalTools
