#include "install/InstallThread.h"
