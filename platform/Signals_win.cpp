#include "platform/Signals.h"

void Signals::onTerminationRequest(std::function<void()> handler)
{
    // A GUI process has no console to be interrupted; a logout or a task
    // manager's close arrives as WM_CLOSE, which Qt turns into the window's
    // close event already.
    (void)handler;
}
