#include "app/Startup.h"
