#pragma once

// Registers the images and translations compiled into the core library.
void initNerixResources();
