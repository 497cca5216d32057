#include "install/UninstallRegistry.h"
