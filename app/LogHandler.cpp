#include "app/LogHandler.h"
