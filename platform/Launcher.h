#pragma once

#include <QString>

// Starting the installed product and its uninstaller.
namespace Launcher {

// Opens the product the way the desktop shell does, with the product's own
// folder as its working directory.
bool openProduct(const QString& program);

// Runs program (no arguments) and waits until it ends. On Windows a program
// whose manifest asks for administrator rights cannot be created directly
// (ERROR_ELEVATION_REQUIRED); the shell then starts it, with its consent
// prompt, and the wait is on that process.
void runAndWait(const QString& program);

} // namespace Launcher
