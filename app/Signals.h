#pragma once

#include <QString>
#include <functional>

class QWidget;

// Lets the installer end cleanly when the session asks it to (a logout, a
// shutdown, a terminal's Ctrl+C, a service manager's stop).
namespace Signals {

// Calls handler on the GUI thread, once per request, whenever the process is
// asked to terminate (on Windows: the session ends after all). Call once,
// after the application object exists.
void onTerminationRequest(std::function<void()> handler);

// While busy() is true, a logout or shutdown is held with reason shown
// against window (Windows); the user may still end the session, which then
// arrives as a termination request.
void holdSessionEndWhile(QWidget* window, std::function<bool()> busy, const QString& reason);

} // namespace Signals
