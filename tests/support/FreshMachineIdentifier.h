#pragma once

#include "telemetry/MachineIdentifier.h"

// The tests' one way to compute the identifier again.
struct FreshMachineIdentifier : MachineIdentifier
{
    using MachineIdentifier::forget;
};
