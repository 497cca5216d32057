#pragma once

#include <QRectF>

class QPainter;
struct Palette;

// Flat device drawings for the illustrations; each fills the rectangle it is given.
namespace Devices {

void hardDisk(QPainter& p, const QRectF& r, const Palette& pal);
void monitor(QPainter& p, const QRectF& r, const Palette& pal);
void folder(QPainter& p, const QRectF& r, const Palette& pal);
void camera(QPainter& p, const QRectF& r, const Palette& pal);
void memoryCard(QPainter& p, const QRectF& r, const Palette& pal, qreal angle);
void usbStick(QPainter& p, const QRectF& r, const Palette& pal, qreal angle);
void laptop(QPainter& p, const QRectF& r, const Palette& pal);
void magnifier(QPainter& p, const QPointF& centre, qreal radius, const Palette& pal);

} // namespace Devices
