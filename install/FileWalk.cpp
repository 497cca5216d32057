#include "install/FileWalk.h"
