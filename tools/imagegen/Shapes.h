#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QString>

class QPainter;
struct Palette;

// Drawing helpers shared by the icons, emblems and illustrations.
namespace Shapes {

enum class FileKind { Document, Photo, Video, Music };

// Pixels per logical pixel of every canvas painted from now on (1 or 2):
// the artwork is drawn in logical units, so a 2x image is the same picture
// with twice the detail.
void setScale(int scale);
int scale();

QImage canvas(const QSize& size);
void prepare(QPainter& p);

// Gaussian-like shadow of a shape, drawn under whatever is painted next.
void softShadow(QPainter& p, const QPainterPath& shape, const QColor& color, qreal blur,
                const QPointF& offset = QPointF());

// Text as a path in the bundled sans font, scaled so that its ink is exactly
// inkHeight tall and its left ink edge starts at origin.x().
QPainterPath textPath(const QString& text, bool bold, qreal inkHeight, const QPointF& origin,
                      qreal letterSpacing = 0);
bool fontAvailable();

QPainterPath roundedRect(const QRectF& r, qreal radius);
void fileTile(QPainter& p, const QRectF& r, FileKind kind, const Palette& pal, qreal angle = 0);
void sparkle(QPainter& p, const QPointF& c, qreal size, const QColor& color);
void dashedCurve(QPainter& p, const QPainterPath& path, const QColor& color, qreal width);
void arrowHead(QPainter& p, const QPointF& tip, const QPointF& direction, qreal length, const QColor& color);
void checkMark(QPainter& p, const QRectF& r, const QColor& color, qreal width);
void floorShadow(QPainter& p, const QPointF& c, qreal rx, qreal ry, const QColor& color);

} // namespace Shapes
