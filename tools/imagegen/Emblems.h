#pragma once

#include <QImage>
#include <QString>

struct Palette;

// Logo compositions built around the mark.
namespace Emblems {

// The mark alone, with a soft shadow when there is room for one.
QImage mark(const Palette& pal, const QSize& size);

// The mark centred in a square, for the program's icon; a shadow from 48 pixels up.
QImage icon(const Palette& pal, int side);
// The mark with the product name beside it, for the top-left corner of a page.
QImage wordmark(const Palette& pal, const QSize& size, const QString& name);
// The mark with the product name underneath.
QImage stacked(const Palette& pal, const QSize& size, const QString& name);
// The mark on a rounded tile, as an application icon.
QImage tile(const Palette& pal, const QSize& size);
// The mark with a success badge and a quiet halo, for the finished page.
QImage success(const Palette& pal, const QSize& size);

} // namespace Emblems
