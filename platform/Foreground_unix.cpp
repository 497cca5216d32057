#include "platform/Foreground.h"
