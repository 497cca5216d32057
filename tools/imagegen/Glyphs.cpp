#include "Glyphs.h"

#include "Palette.h"
#include "Shapes.h"

#include <QPainter>

namespace Glyphs {

QImage ticked(const Palette& pal, const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const QRectF box(0, 0, size.width(), size.height());
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, pal.primary.lighter(108));
    fill.setColorAt(1, pal.primary);
    p.fillPath(Shapes::roundedRect(box, size.width() * 0.22), fill);
    Shapes::checkMark(p, box.adjusted(0.5, 0.5, -0.5, -0.5), Qt::white, size.width() * 0.13);
    return image;
}

QImage unticked(const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    // Half-pixel inset keeps the 1 px outline on whole pixels.
    const QRectF box = QRectF(0, 0, size.width(), size.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor(0xAE, 0xB8, 0xC7), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, size.width() * 0.19, size.width() * 0.19);
    return image;
}

QImage buttonArrow(const Palette& pal, const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    const qreal r = size.width() / 2.0;
    p.setBrush(Qt::white);
    p.drawEllipse(c, r, r);

    const qreal u = size.width() / 17.0;
    p.setPen(QPen(pal.primary, 1.6 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(c + QPointF(-3.6 * u, 0), c + QPointF(3.4 * u, 0));
    QPainterPath head;
    head.moveTo(c + QPointF(0.4 * u, -3.0 * u));
    head.lineTo(c + QPointF(3.5 * u, 0));
    head.lineTo(c + QPointF(0.4 * u, 3.0 * u));
    p.drawPath(head);
    return image;
}

QImage close(const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal m = size.width() * 0.275;
    p.setPen(QPen(Ink::slate(), 1.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m, m), QPointF(size.width() - m, size.height() - m));
    p.drawLine(QPointF(size.width() - m, m), QPointF(m, size.height() - m));
    return image;
}

QImage minimise(const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    // A whole-pixel bar: antialiasing would only blur it.
    const int m = qRound(size.width() * 0.25);
    const int y = size.height() / 2;
    p.fillRect(QRect(m, y - 1, size.width() - 2 * m, 2), Ink::slate());
    return image;
}

QImage smallClose(const Palette& pal, const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    // Neutral grey with a hint of the theme so it sits well on either look.
    QColor ink = Ink::steel();
    ink = QColor((ink.red() * 3 + pal.dark.red()) / 4, (ink.green() * 3 + pal.dark.green()) / 4,
                 (ink.blue() * 3 + pal.dark.blue()) / 4);
    const qreal m = 2.5;
    const qreal top = (size.height() - (size.width() - 2 * m)) / 2.0;
    p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m, top), QPointF(size.width() - m, size.height() - top));
    p.drawLine(QPointF(size.width() - m, top), QPointF(m, size.height() - top));
    return image;
}

} // namespace Glyphs
