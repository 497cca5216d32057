#pragma once

#include <QString>

// What identifies this computer where the hardware query tool gives nothing
// (Windows 11 24H2 ships without it).
namespace MachineIdentity {

// The firmware's system UUID as the query tool prints it, or empty. Linux
// gives none: there only root may read it, and the identifier must not
// depend on who runs the installer.
QString firmwareUuid();

// The id the system gave this installation (Windows' MachineGuid, Linux's
// machine-id), or empty.
QString installationId();

} // namespace MachineIdentity
