#include "app/TextRendering.h"

// Windows' own font rendering, as every other program there has it; its font
// list is read by the system, not by the program.
void TextRendering::preload() {}

void TextRendering::configure() {}
