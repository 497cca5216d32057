#pragma once

#include <functional>

// Lets the installer end cleanly when the session asks it to (a logout, a
// terminal's Ctrl+C, a service manager's stop).
namespace Signals {

// Calls handler on the GUI thread, once per request, whenever the process is
// asked to terminate. Call once, after the application object exists.
void onTerminationRequest(std::function<void()> handler);

} // namespace Signals
