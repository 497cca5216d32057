#include "platform/Foreground.h"

void Foreground::allowOtherProcess()
{
    // X11 and Wayland have no foreground lock to hand over.
}
