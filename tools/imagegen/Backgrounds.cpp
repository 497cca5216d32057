#include "Backgrounds.h"

#include "Palette.h"
#include "Shapes.h"

#include <QPainter>

namespace {

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QImage opaqueCanvas(const QSize& size)
{
    QImage image(size * Shapes::scale(), QImage::Format_RGB32);
    image.setDevicePixelRatio(Shapes::scale());
    image.fill(Qt::white);
    return image;
}

void wash(QPainter& p, const QSize& size, const QColor& top, const QColor& middle, const QColor& bottom)
{
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, top);
    g.setColorAt(0.45, middle);
    g.setColorAt(1, bottom);
    p.fillRect(QRect(QPoint(), size), g);
}

void blob(QPainter& p, const QPointF& c, qreal r, const QColor& color)
{
    QRadialGradient g(c, r);
    g.setColorAt(0, color);
    g.setColorAt(0.6, withAlpha(color, color.alpha() / 3));
    g.setColorAt(1, withAlpha(color, 0));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void rings(QPainter& p, const QPointF& c, qreal from, qreal step, int count, const QColor& color)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        p.setPen(QPen(withAlpha(color, color.alpha() * (count - i) / count), 1));
        p.drawEllipse(c, from + i * step, from + i * step);
    }
    p.restore();
}

void dotGrid(QPainter& p, const QPointF& origin, int cols, int rows, qreal pitch, const QColor& color)
{
    p.setBrush(color);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            p.drawEllipse(origin + QPointF(x * pitch, y * pitch), 1.5, 1.5);
}

// Two long, low swells along the bottom edge.
void swells(QPainter& p, const QSize& size, qreal height, const QColor& back, const QColor& front)
{
    const qreal w = size.width();
    const qreal b = size.height();
    QPainterPath far;
    far.moveTo(0, b - height * 0.75);
    far.cubicTo(w * 0.3, b - height * 1.25, w * 0.55, b - height * 0.15, w, b - height);
    far.lineTo(w, b);
    far.lineTo(0, b);
    far.closeSubpath();
    p.fillPath(far, back);

    QPainterPath near;
    near.moveTo(0, b - height * 0.35);
    near.cubicTo(w * 0.35, b - height * 0.05, w * 0.65, b - height * 0.85, w, b - height * 0.4);
    near.lineTo(w, b);
    near.lineTo(0, b);
    near.closeSubpath();
    p.fillPath(near, front);
}

} // namespace

namespace Backgrounds {

QImage welcome(const Palette& pal, const QSize& size)
{
    QImage image = opaqueCanvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal w = size.width();
    const qreal h = size.height();
    wash(p, size, pal.tint, Qt::white, pal.tint.lighter(101));

    blob(p, QPointF(w * 0.93, h * 0.02), h * 0.6, withAlpha(pal.soft, 70));
    blob(p, QPointF(w * 0.04, h * 0.98), h * 0.55, withAlpha(pal.soft, 60));
    rings(p, QPointF(w * 1.0, -h * 0.02), h * 0.34, h * 0.09, 3, withAlpha(pal.soft, 150));
    rings(p, QPointF(-w * 0.02, h * 1.02), h * 0.3, h * 0.09, 3, withAlpha(pal.soft, 120));
    dotGrid(p, QPointF(w * 0.05, h * 0.12), 6, 4, 16, withAlpha(pal.soft, 150));
    dotGrid(p, QPointF(w * 0.86, h * 0.66), 6, 4, 16, withAlpha(pal.soft, 120));
    swells(p, size, h * 0.11, withAlpha(pal.soft, 40), withAlpha(pal.soft, 45));
    return image;
}

QImage progress(const Palette& pal, const QSize& size)
{
    QImage image = opaqueCanvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal w = size.width();
    const qreal h = size.height();
    wash(p, size, pal.tint.darker(101), Qt::white, Qt::white);

    blob(p, QPointF(w * 0.12, -h * 0.05), h * 0.55, withAlpha(pal.soft, 75));
    blob(p, QPointF(w * 0.98, h * 0.55), h * 0.5, withAlpha(pal.soft, 45));
    rings(p, QPointF(w * 0.98, h * 0.08), h * 0.12, h * 0.07, 4, withAlpha(pal.soft, 140));
    dotGrid(p, QPointF(w * 0.04, h * 0.2), 5, 5, 16, withAlpha(pal.soft, 140));
    swells(p, size, h * 0.09, withAlpha(pal.soft, 35), withAlpha(pal.soft, 40));
    return image;
}

QImage banner(const Palette& pal, const QSize& size)
{
    QImage image = opaqueCanvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal w = size.width();
    const qreal h = size.height();
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, pal.tint);
    g.setColorAt(1, Qt::white);
    p.fillRect(image.rect(), g);

    blob(p, QPointF(w * 0.9, h * 0.1), h * 0.8, withAlpha(pal.soft, 110));
    blob(p, QPointF(w * 0.05, h * 0.95), h * 0.6, withAlpha(pal.soft, 80));
    rings(p, QPointF(w * 0.95, h * 0.05), h * 0.3, h * 0.12, 3, withAlpha(pal.light, 90));
    dotGrid(p, QPointF(w * 0.06, h * 0.12), 5, 4, 14, withAlpha(pal.light, 110));
    swells(p, size, h * 0.2, withAlpha(pal.soft, 70), withAlpha(pal.light, 45));
    return image;
}

} // namespace Backgrounds
