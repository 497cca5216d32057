#pragma once

// The whole start-up sequence; returns the process's exit code.
int runInstaller(int argc, char** argv);

// How the windows are made: scaling with the screen, pure raster surfaces.
// Before the application object exists.
void setApplicationAttributes();
