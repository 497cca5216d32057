#include "support/ReleaseServer.h"
