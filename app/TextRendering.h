#pragma once

// How the application's text is rasterised, and the font set-up that can
// happen before there is a window.
namespace TextRendering {

// First thing in main: starts loading the system's font configuration on
// another thread while the application object is made.
void preload();

// Before the first widget, after the application object: waits for preload
// and sets how glyphs are drawn.
void configure();

} // namespace TextRendering
