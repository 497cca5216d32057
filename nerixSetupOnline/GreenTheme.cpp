#include "nerixSetupOnline/GreenTheme.h"
