#pragma once

#include <QWidget>

// Reaches the window's form widgets by their object names, as a user finds
// them on screen; a missing widget ends the test at once.
template <typename T = QWidget> T* child(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("missing widget %s", name);
    return widget;
}
