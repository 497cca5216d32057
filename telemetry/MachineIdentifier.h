#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// 32 lower-case hex digits identifying this computer; computed once per process.
QString machineIdentifier();

// The cleaning applied to a query's output (UTF-8, or UTF-16 after a
// byte-order mark): the command's last word removed without regard to case,
// CR and LF removed, whitespace simplified.
QString cleanQueryOutput(const QString& commandLine, const QByteArray& output);

// Where the identity comes from. The hardware UUID the query tool prints,
// else the same UUID from the firmware table; a placeholder UUID (all F)
// gives way to the processor id. Only where all of these give nothing does
// the system installation's own id stand in, so that such computers do not
// all report the digest of empty input.
struct MachineSources
{
    std::function<QByteArray(const QString& commandLine)> runQuery;
    std::function<QString()> firmwareUuid;
    std::function<QString()> installationId;
};
QString computeMachineIdentifier(const MachineSources& sources);

// Forgets the cached identifier (tests only).
void resetMachineIdentifierCache();
