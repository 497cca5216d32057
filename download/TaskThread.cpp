#include "download/TaskThread.h"
