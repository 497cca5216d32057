#include "telemetry/MachineIdentifier.h"
