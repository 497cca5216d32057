#include "telemetry/OperationLogRecord.h"
