#include "app/TextRendering.h"

#include <QFont>
#include <QGuiApplication>
#include <fontconfig/fontconfig.h>
#include <thread>

namespace {

// Joined at exit too, for a process that ends before its first widget.
struct Loader
{
    std::thread thread;
    ~Loader()
    {
        if (thread.joinable())
            thread.join();
    }
};

std::thread& loader()
{
    static Loader loader;
    return loader.thread;
}

} // namespace

void TextRendering::preload()
{
    // Parsing fontconfig's dozens of XML files takes about 10 ms, and Qt would
    // do it on the GUI thread at the first QFont. FcInit is safe on any thread;
    // Qt's own call then finds the configuration loaded.
    loader() = std::thread([] { FcInit(); });
}

void TextRendering::configure()
{
    // Waited for, not raced: a second FcInit would parse everything again.
    if (loader().joinable())
        loader().join();
    // The Chinese fonts of Linux systems carry no hinting instructions, so
    // FreeType would run its auto-hinter, which first studies the whole face:
    // about a sixth of the work before the window's first frame. Unhinted text
    // keeps the design's advances, which the fixed-size labels were laid out for.
    QFont font = QGuiApplication::font();
    font.setHintingPreference(QFont::PreferNoHinting);
    QGuiApplication::setFont(font);
}
