#include "app/SingleApplication.h"
