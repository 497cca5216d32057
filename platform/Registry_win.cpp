#include "platform/Registry.h"
