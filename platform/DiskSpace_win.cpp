#include "platform/DiskSpace.h"
