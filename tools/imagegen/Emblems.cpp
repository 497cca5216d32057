#include "Emblems.h"

#include "LogoMark.h"
#include "Palette.h"
#include "Shapes.h"

#include <QPainter>

namespace Emblems {

QImage mark(const Palette& pal, const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    if (size.height() < 48) {
        LogoMark::paint(p, QRectF(0, 0, size.width(), size.height()), pal);
        return image;
    }
    // Leave room below for the shadow.
    const QRectF box(0, size.height() * 0.02, size.width(), size.height() * 0.9);
    LogoMark::paintShadow(p, box.adjusted(6, 6, -6, -6));
    LogoMark::paint(p, box, pal);
    return image;
}

QImage icon(const Palette& pal, int side)
{
    QImage image = Shapes::canvas(QSize(side, side));
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal height = side < 48 ? side : side * 0.9;
    const qreal width = height * LogoMark::gridWidth / LogoMark::gridHeight;
    const QRectF box((side - width) / 2, (side - height) / 2, width, height);
    if (side >= 48)
        LogoMark::paintShadow(p, box.adjusted(side / 20.0, side / 20.0, -side / 20.0, -side / 20.0));
    LogoMark::paint(p, box, pal);
    return image;
}

QImage wordmark(const Palette& pal, const QSize& size, const QString& name)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal h = size.height();
    const QRectF markBox(0, 1, h * LogoMark::gridWidth / LogoMark::gridHeight, h - 2);
    LogoMark::paint(p, markBox, pal);

    const qreal x = markBox.right() + h * 0.2;
    const qreal room = size.width() - x - 1;
    qreal cap = h * 0.43;
    QPainterPath title = Shapes::textPath(name, true, cap, QPointF(x, h * 0.6), h * 0.01);
    if (title.boundingRect().width() > room) {
        cap *= room / title.boundingRect().width();
        title = Shapes::textPath(name, true, cap, QPointF(x, h * 0.6), h * 0.01);
    }
    p.fillPath(title, Ink::navy());

    const qreal titleWidth = title.boundingRect().width();
    QPainterPath tagline = Shapes::textPath(QStringLiteral("DATA RECOVERY"), true, h * 0.155,
                                            QPointF(x + 0.5, h * 0.9), h * 0.045);
    // Stretch the tagline to the name's width so the two read as one block.
    const QRectF tb = tagline.boundingRect();
    QTransform stretch;
    stretch.translate(tb.left(), 0);
    stretch.scale(qMin(titleWidth / tb.width(), 1.25), 1);
    stretch.translate(-tb.left(), 0);
    p.fillPath(stretch.map(tagline), pal.primary);
    return image;
}

QImage stacked(const Palette& pal, const QSize& size, const QString& name)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal h = size.height();
    const QRectF markBox(0, 2, size.width(), h * 0.6);
    LogoMark::paint(p, markBox, pal);

    QPainterPath title = Shapes::textPath(name, true, h * 0.16, QPointF(0, h * 0.87));
    const qreal room = size.width() - 4;
    if (title.boundingRect().width() > room) {
        const qreal k = room / title.boundingRect().width();
        title = Shapes::textPath(name, true, h * 0.16 * k, QPointF(0, h * 0.87));
    }
    title.translate((size.width() - title.boundingRect().width()) / 2 - title.boundingRect().left(), 0);
    p.fillPath(title, Ink::navy());
    return image;
}

QImage tile(const Palette& pal, const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal w = size.width();
    const QRectF square(w * 0.06, w * 0.04, w * 0.88, w * 0.88);
    const QPainterPath body = Shapes::roundedRect(square, w * 0.22);
    Shapes::softShadow(p, body, QColor(20, 40, 90, 60), w * 0.06, QPointF(0, w * 0.025));
    QLinearGradient fill(square.topLeft(), square.bottomRight());
    fill.setColorAt(0, pal.light);
    fill.setColorAt(1, pal.dark);
    p.fillPath(body, fill);

    // Soft light from the top.
    p.save();
    p.setClipPath(body);
    QRadialGradient glow(QPointF(square.left() + square.width() * 0.3, square.top()), square.width() * 0.9);
    glow.setColorAt(0, QColor(255, 255, 255, 60));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(square, glow);
    p.restore();

    LogoMark::paint(p, square.adjusted(w * 0.16, w * 0.13, -w * 0.16, -w * 0.15), pal,
                    LogoMark::Style::Inverse);
    return image;
}

QImage success(const Palette& pal, const QSize& size)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal w = size.width();
    const qreal h = size.height();
    const QPointF centre(w / 2, h * 0.49);

    // Halo: two faint rings and a wash.
    QRadialGradient wash(centre, h * 0.5);
    QColor inner = pal.soft;
    inner.setAlpha(110);
    QColor outer = pal.soft;
    outer.setAlpha(0);
    wash.setColorAt(0, inner);
    wash.setColorAt(0.7, QColor(inner.red(), inner.green(), inner.blue(), 40));
    wash.setColorAt(1, outer);
    p.setBrush(wash);
    p.drawEllipse(centre, h * 0.5, h * 0.5);
    QColor ring = pal.soft;
    ring.setAlpha(150);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, 1.2));
    p.drawEllipse(centre, h * 0.4, h * 0.4);
    ring.setAlpha(80);
    p.setPen(QPen(ring, 1.2, Qt::DashLine));
    p.drawEllipse(centre, h * 0.48, h * 0.48);
    p.setPen(Qt::NoPen);

    const QRectF markBox(centre.x() - h * 0.3, centre.y() - h * 0.33, h * 0.6, h * 0.66);
    LogoMark::paintShadow(p, markBox, 0.9);
    LogoMark::paint(p, markBox, pal);

    // Success badge on the shield's lower right.
    const QPointF badge(centre.x() + h * 0.23, centre.y() + h * 0.24);
    const qreal br = h * 0.125;
    QPainterPath disc;
    disc.addEllipse(badge, br + 3, br + 3);
    Shapes::softShadow(p, disc, QColor(10, 60, 30, 70), 6, QPointF(0, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(badge, br + 3, br + 3);
    QLinearGradient green(badge - QPointF(0, br), badge + QPointF(0, br));
    green.setColorAt(0, Ink::success().lighter(112));
    green.setColorAt(1, Ink::success().darker(108));
    p.setBrush(green);
    p.drawEllipse(badge, br, br);
    Shapes::checkMark(p, QRectF(badge.x() - br * 0.78, badge.y() - br * 0.72, br * 1.56, br * 1.56),
                      Qt::white, br * 0.26);

    // A few sparkles around the halo.
    QColor star = pal.primary;
    star.setAlpha(120);
    Shapes::sparkle(p, QPointF(w * 0.2, h * 0.2), 6, star);
    Shapes::sparkle(p, QPointF(w * 0.83, h * 0.14), 4.5, star);
    star.setAlpha(80);
    Shapes::sparkle(p, QPointF(w * 0.13, h * 0.72), 4, star);
    Shapes::sparkle(p, QPointF(w * 0.88, h * 0.62), 5, star);
    QColor dot = pal.soft;
    p.setBrush(dot);
    p.drawEllipse(QPointF(w * 0.27, h * 0.9), 2.5, 2.5);
    p.drawEllipse(QPointF(w * 0.76, h * 0.88), 2, 2);
    p.drawEllipse(QPointF(w * 0.9, h * 0.33), 2, 2);
    return image;
}

} // namespace Emblems
