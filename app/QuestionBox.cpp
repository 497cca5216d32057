#include "app/QuestionBox.h"
