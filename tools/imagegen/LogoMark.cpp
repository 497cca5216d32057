#include "LogoMark.h"

#include "Palette.h"
#include "Shapes.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QtMath>

namespace {

const QPointF symbolCentre(50, 57);

} // namespace

QPainterPath LogoMark::shield()
{
    QPainterPath outline;
    outline.moveTo(50, 4);
    outline.cubicTo(60, 11, 75, 15.5, 91, 15.5);
    outline.lineTo(91, 50);
    outline.cubicTo(91, 79, 73, 97, 50, 108);
    outline.cubicTo(27, 97, 9, 79, 9, 50);
    outline.lineTo(9, 15.5);
    outline.cubicTo(25, 15.5, 40, 11, 50, 4);
    outline.closeSubpath();

    // Grow by a round stroke so the shoulders and the point are softly rounded.
    QPainterPathStroker stroker;
    stroker.setWidth(7);
    stroker.setJoinStyle(Qt::RoundJoin);
    return outline.united(stroker.createStroke(outline)).simplified();
}

QTransform LogoMark::fit(const QRectF& box)
{
    const qreal s = qMin(box.width() / gridWidth, box.height() / gridHeight);
    QTransform t;
    t.translate(box.center().x() - gridWidth * s / 2, box.center().y() - gridHeight * s / 2);
    t.scale(s, s);
    return t;
}

void LogoMark::paintShadow(QPainter& p, const QRectF& box, qreal strength)
{
    p.save();
    p.setTransform(fit(box), true);
    Shapes::softShadow(p, shield(), QColor(20, 40, 90, qRound(70 * strength)), 9, QPointF(0, 5));
    p.restore();
}

void LogoMark::paint(QPainter& p, const QRectF& box, const Palette& pal, Style style)
{
    const QTransform t = fit(box);
    const bool compact = t.m11() * gridHeight < 36;
    const QPainterPath body = shield();

    p.save();
    p.setTransform(t, true);

    QLinearGradient fill(20, 0, 80, gridHeight);
    if (style == Style::Colour) {
        fill.setColorAt(0, pal.light);
        fill.setColorAt(0.55, pal.primary);
        fill.setColorAt(1, pal.dark);
    } else {
        fill.setColorAt(0, Qt::white);
        fill.setColorAt(1, pal.tint);
    }
    p.fillPath(body, fill);

    // Lit left half gives the flat shield a little depth.
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(0, 0, 50, gridHeight),
               style == Style::Colour ? QColor(255, 255, 255, 26) : QColor(255, 255, 255, 120));
    p.restore();

    if (!compact) {
        QTransform inset;
        inset.translate(50, 56);
        inset.scale(0.85, 0.85);
        inset.translate(-50, -56);
        QColor rim = style == Style::Colour ? QColor(255, 255, 255, 70) : pal.soft;
        p.setPen(QPen(rim, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(inset.map(body));
        p.setPen(Qt::NoPen);
    }

    if (style == Style::Colour)
        paintSymbol(p, Qt::white, pal.primary, compact);
    else
        paintSymbol(p, pal.primary, Qt::white, compact);
    p.restore();
}

void LogoMark::paintSymbol(QPainter& p, const QColor& ink, const QColor& seam, bool compact)
{
    const qreal radius = compact ? 25 : 25.5;
    const qreal width = compact ? 10 : 7;
    const QRectF ring(symbolCentre.x() - radius, symbolCentre.y() - radius, 2 * radius, 2 * radius);

    // Restore arrow, running anticlockwise and ending in a head on the right.
    const qreal start = 62;
    const qreal sweep = 283;
    QPainterPath arc;
    arc.arcMoveTo(ring, start);
    arc.arcTo(ring, start, sweep);
    p.save();
    p.setPen(QPen(ink, width, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.restore();

    const qreal end = qDegreesToRadians(start + sweep);
    const QPointF onRing(symbolCentre.x() + radius * std::cos(end),
                         symbolCentre.y() - radius * std::sin(end));
    // Aim the head a little inwards, along the chord it is about to follow.
    const qreal aim = end + qDegreesToRadians(8.0);
    const QPointF tangent(-std::sin(aim), -std::cos(aim));
    const qreal head = compact ? 17 : 15;
    Shapes::arrowHead(p, onRing + tangent * head * 0.75, tangent, head, ink);

    if (compact) {
        p.setBrush(ink);
        p.drawEllipse(symbolCentre, 7.5, 7.5);
        return;
    }

    // Data stack: a cylinder of three platters.
    const qreal half = 10.5;
    const qreal ry = 3.8;
    const qreal top = symbolCentre.y() - 10;
    const qreal bottom = symbolCentre.y() + 10;
    QPainterPath stack;
    stack.moveTo(symbolCentre.x() - half, top);
    stack.arcTo(QRectF(symbolCentre.x() - half, top - ry, 2 * half, 2 * ry), 180, -180);
    stack.lineTo(symbolCentre.x() + half, bottom);
    stack.arcTo(QRectF(symbolCentre.x() - half, bottom - ry, 2 * half, 2 * ry), 0, -180);
    stack.closeSubpath();
    p.fillPath(stack, ink);

    p.save();
    // Keep the seams at least a device pixel wide so small marks stay legible.
    const qreal minimum = 1.0 / std::max(p.deviceTransform().m11(), 0.01);
    p.setPen(QPen(seam, std::max(1.7, minimum), Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const qreal step = (bottom - top) / 3;
    for (int i = 0; i < 3; ++i) {
        const qreal y = top + i * step;
        QPainterPath seamArc;
        seamArc.arcMoveTo(QRectF(symbolCentre.x() - half, y - ry, 2 * half, 2 * ry), 180);
        seamArc.arcTo(QRectF(symbolCentre.x() - half, y - ry, 2 * half, 2 * ry), 180, 180);
        p.drawPath(seamArc);
    }
    p.restore();
}
