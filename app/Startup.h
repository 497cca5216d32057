#pragma once

// The whole start-up sequence; returns the process's exit code.
int runInstaller(int argc, char** argv);

// Scaling with the screen, before the application object exists.
void enableHighDpi();
