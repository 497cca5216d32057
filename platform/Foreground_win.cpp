#include "platform/Foreground.h"

#include <windows.h>

void Foreground::allowOtherProcess()
{
    // Without this, a window brought up on a second start only flashes in the taskbar.
    AllowSetForegroundWindow(ASFW_ANY);
}
