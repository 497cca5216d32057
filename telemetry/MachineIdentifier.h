#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// 32 lower-case hex digits identifying this computer; computed once per process.
QString machineIdentifier();

// The cleaning applied to a query's output: the command's last word removed
// without regard to case, CR and LF removed, whitespace simplified.
QString cleanQueryOutput(const QString& commandLine, const QByteArray& output);

// The whole decision with the queries answered by runQuery (the second query
// is asked only when the first gives the placeholder).
using MachineQueryRunner = std::function<QByteArray(const QString& commandLine)>;
QString computeMachineIdentifier(const MachineQueryRunner& runQuery);

// Forgets the cached identifier (tests only).
void resetMachineIdentifierCache();
