#include "nerixSetupOnline/WindowLogic.h"
