#include "platform/ProcessToken.h"

bool ProcessToken::isElevated()
{
    return false;
}
