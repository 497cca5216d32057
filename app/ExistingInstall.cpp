#include "app/ExistingInstall.h"
