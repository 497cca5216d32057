#pragma once

#include <QImage>

struct Palette;

// The progress page's slides and the spare scan picture. Each is designed at
// the default edition's size and scaled to fit any other size.
namespace Illustrations {

QImage diskRecovery(const Palette& pal, const QSize& size);
QImage mediaRecovery(const Palette& pal, const QSize& size);
QImage laptopScan(const Palette& pal, const QSize& size);

} // namespace Illustrations
