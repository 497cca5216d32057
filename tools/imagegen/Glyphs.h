#pragma once

#include <QImage>

struct Palette;

// Small interface glyphs, drawn for their exact pixel size.
namespace Glyphs {

QImage ticked(const Palette& pal, const QSize& size);
QImage unticked(const QSize& size);
QImage buttonArrow(const Palette& pal, const QSize& size);
QImage close(const QSize& size);
QImage minimise(const QSize& size);
QImage smallClose(const Palette& pal, const QSize& size);

} // namespace Glyphs
