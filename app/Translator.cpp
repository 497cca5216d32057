#include "app/Translator.h"
