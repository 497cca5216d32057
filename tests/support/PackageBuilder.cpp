#include "support/PackageBuilder.h"
