#pragma once

#include <QImage>

struct Palette;

// Page backgrounds: light and quiet, since text and controls sit on them.
namespace Backgrounds {

QImage welcome(const Palette& pal, const QSize& size);
QImage progress(const Palette& pal, const QSize& size);
QImage banner(const Palette& pal, const QSize& size);

} // namespace Backgrounds
