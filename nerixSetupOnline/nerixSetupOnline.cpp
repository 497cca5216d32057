#include "nerixSetupOnline/nerixSetupOnline.h"
