#include "download/ProgressThrottle.h"
