#include "install/Shortcuts.h"
