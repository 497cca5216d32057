#include "platform/ExternalTools.h"
