#include "Devices.h"

#include "LogoMark.h"
#include "Palette.h"
#include "Shapes.h"

#include <QPainter>
#include <QtMath>

namespace {

const QColor shadowInk(20, 40, 90, 55);

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// Rectangle with one clipped corner (top right), as cards and tiles have.
QPainterPath clippedCard(const QRectF& c, qreal radius, qreal cut)
{
    QPainterPath path;
    path.moveTo(c.left() + radius, c.top());
    path.lineTo(c.right() - cut, c.top());
    path.lineTo(c.right(), c.top() + cut);
    path.lineTo(c.right(), c.bottom() - radius);
    path.quadTo(c.bottomRight(), QPointF(c.right() - radius, c.bottom()));
    path.lineTo(c.left() + radius, c.bottom());
    path.quadTo(c.bottomLeft(), QPointF(c.left(), c.bottom() - radius));
    path.lineTo(c.left(), c.top() + radius);
    path.quadTo(c.topLeft(), QPointF(c.left() + radius, c.top()));
    path.closeSubpath();
    return path;
}

} // namespace

namespace Devices {

void hardDisk(QPainter& p, const QRectF& r, const Palette& pal)
{
    const qreal w = r.width();
    const QPainterPath body = Shapes::roundedRect(r, w * 0.08);
    Shapes::softShadow(p, body, shadowInk, w * 0.12, QPointF(0, w * 0.05));
    p.fillPath(body, vertical(r, QColor(0xF1, 0xF4, 0xF8), QColor(0xCB, 0xD4, 0xE1)));
    p.setPen(QPen(QColor(0xB7, 0xC2, 0xD2), w * 0.012));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.setPen(Qt::NoPen);

    const QRectF recess = r.adjusted(w * 0.08, w * 0.08, -w * 0.08, -w * 0.08);
    p.fillPath(Shapes::roundedRect(recess, w * 0.05), QColor(0xE4, 0xE9, 0xF0));

    p.setBrush(QColor(0xA9, 0xB5, 0xC6));
    const qreal s = w * 0.045;
    for (const QPointF& c : {QPointF(r.left() + s, r.top() + s), QPointF(r.right() - s, r.top() + s),
                             QPointF(r.left() + s, r.bottom() - s), QPointF(r.right() - s, r.bottom() - s)})
        p.drawEllipse(c, w * 0.022, w * 0.022);

    const QPointF hub(r.center().x(), r.top() + w * 0.5);
    const qreal pr = w * 0.36;
    QConicalGradient sheen(hub, 30);
    sheen.setColorAt(0, QColor(0xFA, 0xFB, 0xFD));
    sheen.setColorAt(0.25, QColor(0xC6, 0xD0, 0xDE));
    sheen.setColorAt(0.5, QColor(0xFA, 0xFB, 0xFD));
    sheen.setColorAt(0.75, QColor(0xBE, 0xC9, 0xD9));
    sheen.setColorAt(1, QColor(0xFA, 0xFB, 0xFD));
    p.setBrush(sheen);
    p.drawEllipse(hub, pr, pr);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xAE, 0xB9, 0xCA), w * 0.012));
    p.drawEllipse(hub, pr, pr);
    p.setPen(QPen(QColor(255, 255, 255, 140), w * 0.008));
    p.drawEllipse(hub, pr * 0.72, pr * 0.72);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x95, 0xA3, 0xB8));
    p.drawEllipse(hub, pr * 0.26, pr * 0.26);
    p.setBrush(QColor(0xE8, 0xED, 0xF3));
    p.drawEllipse(hub, pr * 0.11, pr * 0.11);

    // Read arm swinging in from the lower right.
    const QPointF pivot(r.right() - w * 0.2, r.bottom() - w * 0.2);
    const QPointF tip = hub + QPointF(pr * 0.25, pr * 0.62);
    p.setPen(QPen(QColor(0x7D, 0x8C, 0xA3), w * 0.055, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pivot, tip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7D, 0x8C, 0xA3));
    p.drawEllipse(pivot, w * 0.075, w * 0.075);
    p.setBrush(QColor(0xD8, 0xDF, 0xE8));
    p.drawEllipse(pivot, w * 0.03, w * 0.03);
    p.setBrush(pal.primary);
    p.drawEllipse(tip, w * 0.03, w * 0.03);

    p.setBrush(pal.primary);
    p.drawEllipse(QPointF(r.left() + w * 0.2, r.bottom() - w * 0.17), w * 0.028, w * 0.028);
}

void monitor(QPainter& p, const QRectF& r, const Palette& pal)
{
    const qreal w = r.width();
    const qreal cx = r.center().x();
    const QRectF bezel(r.left(), r.top(), w, r.height() * 0.76);
    const QRectF base(cx - w * 0.21, r.bottom() - r.height() * 0.055, w * 0.42, r.height() * 0.055);

    QPainterPath neck;
    neck.moveTo(cx - w * 0.07, bezel.bottom() - 2);
    neck.lineTo(cx + w * 0.07, bezel.bottom() - 2);
    neck.lineTo(cx + w * 0.1, base.top() + 1);
    neck.lineTo(cx - w * 0.1, base.top() + 1);
    neck.closeSubpath();
    p.fillPath(neck, vertical(neck.boundingRect(), QColor(0xAE, 0xBA, 0xCB), QColor(0xD3, 0xDB, 0xE6)));
    const QPainterPath foot = Shapes::roundedRect(base, base.height() / 2);
    p.fillPath(foot, vertical(base, QColor(0xDD, 0xE3, 0xEC), QColor(0xBD, 0xC8, 0xD7)));

    const QPainterPath frame = Shapes::roundedRect(bezel, w * 0.04);
    Shapes::softShadow(p, frame, shadowInk, w * 0.06, QPointF(0, w * 0.03));
    p.fillPath(frame, vertical(bezel, QColor(0x33, 0x42, 0x5E), Ink::navy()));

    const QRectF screen = bezel.adjusted(w * 0.03, w * 0.03, -w * 0.03, -w * 0.075);
    QLinearGradient glass(screen.topLeft(), screen.bottomRight());
    glass.setColorAt(0, pal.light);
    glass.setColorAt(1, pal.dark);
    p.fillRect(screen, glass);
    p.setBrush(QColor(0x5C, 0x6B, 0x85));
    p.drawEllipse(QPointF(cx, bezel.bottom() - w * 0.0375), w * 0.012, w * 0.012);

    // What the screen shows: the mark over a progress bar.
    const qreal sh = screen.height();
    LogoMark::paint(p, QRectF(cx - sh * 0.25, screen.top() + sh * 0.14, sh * 0.5, sh * 0.5), pal,
                    LogoMark::Style::Inverse);
    const QRectF track(cx - screen.width() * 0.3, screen.top() + sh * 0.76, screen.width() * 0.6, sh * 0.055);
    p.fillPath(Shapes::roundedRect(track, track.height() / 2), QColor(255, 255, 255, 70));
    QRectF done = track;
    done.setWidth(track.width() * 0.72);
    p.fillPath(Shapes::roundedRect(done, track.height() / 2), Qt::white);

    p.save();
    p.setClipRect(screen);
    QPainterPath gloss;
    gloss.moveTo(screen.topLeft());
    gloss.lineTo(screen.left() + screen.width() * 0.45, screen.top());
    gloss.lineTo(screen.left() + screen.width() * 0.2, screen.bottom());
    gloss.lineTo(screen.left(), screen.bottom());
    gloss.closeSubpath();
    p.fillPath(gloss, QColor(255, 255, 255, 16));
    p.restore();
}

void folder(QPainter& p, const QRectF& r, const Palette& pal)
{
    const qreal w = r.width();
    const qreal h = r.height();
    QPainterPath back;
    back.moveTo(r.left(), r.top() + h * 0.1);
    back.quadTo(r.topLeft(), QPointF(r.left() + w * 0.06, r.top()));
    back.lineTo(r.left() + w * 0.34, r.top());
    back.lineTo(r.left() + w * 0.42, r.top() + h * 0.11);
    back.lineTo(r.right() - w * 0.05, r.top() + h * 0.11);
    back.quadTo(QPointF(r.right(), r.top() + h * 0.11), QPointF(r.right(), r.top() + h * 0.2));
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    Shapes::softShadow(p, back, shadowInk, w * 0.1, QPointF(0, w * 0.05));
    p.fillPath(back, vertical(r, pal.primary, pal.dark));

    // Restored papers standing in the folder.
    p.save();
    for (int i = 0; i < 2; ++i) {
        p.save();
        p.translate(r.left() + w * (0.42 + 0.14 * i), r.top() + h * 0.48);
        p.rotate(-8 + 12 * i);
        const QRectF sheet(-w * 0.26, -h * 0.36, w * 0.52, h * 0.6);
        p.fillPath(Shapes::roundedRect(sheet, w * 0.03), i == 0 ? QColor(0xF1, 0xF5, 0xFB) : Qt::white);
        p.setPen(QPen(withAlpha(pal.primary, 120), h * 0.025, Qt::SolidLine, Qt::RoundCap));
        for (int line = 0; line < 3; ++line) {
            const qreal y = sheet.top() + h * (0.1 + 0.08 * line);
            p.drawLine(QPointF(sheet.left() + w * 0.07, y),
                       QPointF(sheet.right() - w * (line == 2 ? 0.2 : 0.07), y));
        }
        p.setPen(Qt::NoPen);
        p.restore();
    }
    p.restore();

    QPainterPath front;
    const qreal top = r.top() + h * 0.38;
    front.moveTo(r.left() + w * 0.04, top);
    front.lineTo(r.right() - w * 0.04, top);
    front.quadTo(QPointF(r.right() + w * 0.01, top), QPointF(r.right(), top + h * 0.06));
    front.lineTo(r.right() - w * 0.02, r.bottom() - h * 0.04);
    front.quadTo(QPointF(r.right() - w * 0.02, r.bottom()), QPointF(r.right() - w * 0.06, r.bottom()));
    front.lineTo(r.left() + w * 0.06, r.bottom());
    front.quadTo(QPointF(r.left() + w * 0.02, r.bottom()),
                 QPointF(r.left() + w * 0.02, r.bottom() - h * 0.04));
    front.lineTo(r.left(), top + h * 0.06);
    front.quadTo(QPointF(r.left() - w * 0.01, top), QPointF(r.left() + w * 0.04, top));
    front.closeSubpath();
    p.fillPath(front, vertical(QRectF(r.left(), top, w, r.bottom() - top), pal.light, pal.primary));
    p.setPen(QPen(QColor(255, 255, 255, 90), h * 0.02, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r.left() + w * 0.1, top + h * 0.03), QPointF(r.right() - w * 0.1, top + h * 0.03));
    p.setPen(Qt::NoPen);
}

void camera(QPainter& p, const QRectF& r, const Palette& pal)
{
    const qreal w = r.width();
    const qreal h = r.height();
    const QRectF bodyRect(r.left(), r.top() + h * 0.17, w, h * 0.83);
    const QPainterPath body = Shapes::roundedRect(bodyRect, w * 0.08);
    const QRectF humpRect(r.center().x() - w * 0.17, r.top() + h * 0.02, w * 0.34, h * 0.25);
    const QPainterPath hump = Shapes::roundedRect(humpRect, w * 0.04);
    Shapes::softShadow(p, body.united(hump), shadowInk, w * 0.1, QPointF(0, w * 0.04));

    p.fillPath(
        Shapes::roundedRect(QRectF(r.left() + w * 0.12, r.top() + h * 0.08, w * 0.13, h * 0.14), w * 0.025),
        pal.primary);
    p.fillPath(hump, QColor(0x2B, 0x38, 0x52));
    p.fillPath(body, vertical(bodyRect, QColor(0x38, 0x48, 0x65), Ink::navy()));

    // Textured grip band.
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(r.left(), bodyRect.top() + h * 0.2, w, h * 0.42), QColor(0x1C, 0x26, 0x3A));
    p.restore();

    p.fillPath(Shapes::roundedRect(
                   QRectF(r.right() - w * 0.22, bodyRect.top() + h * 0.06, w * 0.13, h * 0.09), w * 0.015),
               QColor(0xEE, 0xF2, 0xF7));
    p.setBrush(pal.light);
    p.drawEllipse(QPointF(r.left() + w * 0.12, bodyRect.top() + h * 0.1), w * 0.02, w * 0.02);

    const QPointF lens(r.center().x(), bodyRect.top() + bodyRect.height() * 0.5);
    const qreal lr = h * 0.36;
    QLinearGradient ring(lens - QPointF(0, lr), lens + QPointF(0, lr));
    ring.setColorAt(0, QColor(0xEC, 0xF0, 0xF5));
    ring.setColorAt(1, QColor(0xA5, 0xB1, 0xC3));
    p.setBrush(ring);
    p.drawEllipse(lens, lr, lr);
    p.setBrush(QColor(0x16, 0x1E, 0x2E));
    p.drawEllipse(lens, lr * 0.83, lr * 0.83);
    QRadialGradient glass(lens, lr * 0.66, lens - QPointF(lr * 0.2, lr * 0.25));
    glass.setColorAt(0, pal.light);
    glass.setColorAt(0.55, pal.dark);
    glass.setColorAt(1, QColor(0x0E, 0x16, 0x26));
    p.setBrush(glass);
    p.drawEllipse(lens, lr * 0.66, lr * 0.66);
    p.setBrush(QColor(0x0E, 0x16, 0x26));
    p.drawEllipse(lens, lr * 0.24, lr * 0.24);
    p.setBrush(QColor(255, 255, 255, 190));
    p.drawEllipse(lens - QPointF(lr * 0.28, lr * 0.3), lr * 0.11, lr * 0.11);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(lens + QPointF(lr * 0.26, lr * 0.24), lr * 0.05, lr * 0.05);
}

void memoryCard(QPainter& p, const QRectF& r, const Palette& pal, qreal angle)
{
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    const QRectF c(-r.width() / 2, -r.height() / 2, r.width(), r.height());
    const qreal w = c.width();
    const qreal h = c.height();
    const QPainterPath card = clippedCard(c, w * 0.08, w * 0.24);
    Shapes::softShadow(p, card, shadowInk, w * 0.14, QPointF(0, w * 0.06));
    p.fillPath(card, vertical(c, QColor(0x36, 0x46, 0x63), QColor(0x1F, 0x2A, 0x3E)));

    QLinearGradient gold(0, c.top(), 0, c.top() + h * 0.25);
    gold.setColorAt(0, QColor(0xF6, 0xCF, 0x63));
    gold.setColorAt(1, QColor(0xD9, 0xA2, 0x2B));
    for (int i = 0; i < 5; ++i) {
        const qreal x = c.left() + w * (0.1 + i * 0.13);
        p.fillPath(Shapes::roundedRect(QRectF(x, c.top() + h * 0.07, w * 0.085, h * 0.2), w * 0.02), gold);
    }

    const QRectF label(c.left() + w * 0.1, c.top() + h * 0.4, w * 0.8, h * 0.5);
    p.fillPath(Shapes::roundedRect(label, w * 0.05), vertical(label, pal.light, pal.primary));
    const QPainterPath text = Shapes::textPath(QStringLiteral("SD"), true, label.height() * 0.36,
                                               QPointF(0, label.center().y() + label.height() * 0.18));
    p.fillPath(text.translated(-text.boundingRect().center().x(), 0), Qt::white);
    p.restore();
}

void usbStick(QPainter& p, const QRectF& r, const Palette& pal, qreal angle)
{
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    const QRectF c(-r.width() / 2, -r.height() / 2, r.width(), r.height());
    const qreal w = c.width();
    const qreal h = c.height();
    const QRectF plug(-w * 0.33, c.top(), w * 0.66, h * 0.3);
    const QRectF bodyRect(c.left(), c.top() + h * 0.27, w, h * 0.73);
    const QPainterPath body = Shapes::roundedRect(bodyRect, w * 0.24);
    Shapes::softShadow(p, body.united(Shapes::roundedRect(plug, 1)), shadowInk, w * 0.25,
                       QPointF(0, w * 0.1));

    QLinearGradient metal(plug.topLeft(), plug.topRight());
    metal.setColorAt(0, QColor(0xC3, 0xCC, 0xD9));
    metal.setColorAt(0.45, QColor(0xF4, 0xF6, 0xF9));
    metal.setColorAt(1, QColor(0xB4, 0xBF, 0xCF));
    p.fillPath(Shapes::roundedRect(plug, w * 0.04), metal);
    p.setBrush(QColor(0x70, 0x7F, 0x97));
    p.drawRect(QRectF(-w * 0.2, c.top() + h * 0.06, w * 0.12, h * 0.06));
    p.drawRect(QRectF(w * 0.08, c.top() + h * 0.06, w * 0.12, h * 0.06));

    QLinearGradient shell(bodyRect.topLeft(), bodyRect.topRight());
    shell.setColorAt(0, pal.light);
    shell.setColorAt(1, pal.dark);
    p.fillPath(body, shell);
    p.fillPath(Shapes::roundedRect(QRectF(c.left() + w * 0.16, bodyRect.top() + h * 0.08, w * 0.14, h * 0.45),
                                   w * 0.07),
               QColor(255, 255, 255, 60));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(w * 0.12, bodyRect.top() + h * 0.12), w * 0.06, w * 0.06);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), w * 0.06));
    p.drawEllipse(QPointF(0, c.bottom() - w * 0.3), w * 0.12, w * 0.12);
    p.setPen(Qt::NoPen);
    p.restore();
}

void laptop(QPainter& p, const QRectF& r, const Palette& pal)
{
    const qreal w = r.width();
    const qreal h = r.height();
    const QRectF lid(r.left() + w * 0.1, r.top(), w * 0.8, h * 0.84);
    const QPainterPath lidPath = Shapes::roundedRect(lid, w * 0.035);
    QPainterPath deck;
    deck.moveTo(r.left() + w * 0.04, r.top() + h * 0.86);
    deck.lineTo(r.right() - w * 0.04, r.top() + h * 0.86);
    deck.lineTo(r.right(), r.bottom() - h * 0.04);
    deck.quadTo(r.bottomRight(), QPointF(r.right() - w * 0.03, r.bottom()));
    deck.lineTo(r.left() + w * 0.03, r.bottom());
    deck.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - h * 0.04));
    deck.closeSubpath();
    Shapes::softShadow(p, lidPath.united(deck), shadowInk, w * 0.05, QPointF(0, w * 0.025));

    p.fillPath(lidPath, vertical(lid, QColor(0x33, 0x42, 0x5E), Ink::navy()));
    const QRectF screen = lid.adjusted(w * 0.025, w * 0.025, -w * 0.025, -w * 0.025);
    p.fillRect(screen, vertical(screen, Qt::white, pal.tint));

    // A scan in progress: the mark, file rows and a bar.
    const qreal sh = screen.height();
    LogoMark::paint(p, QRectF(screen.left() + sh * 0.12, screen.top() + sh * 0.14, sh * 0.42, sh * 0.46),
                    pal);
    const qreal textLeft = screen.left() + sh * 0.68;
    const qreal room = screen.right() - textLeft - sh * 0.12;
    const qreal widths[] = {1.0, 0.72, 0.48};
    for (int i = 0; i < 3; ++i) {
        const QRectF bar(textLeft, screen.top() + sh * (0.2 + 0.13 * i), room * widths[i], sh * 0.06);
        p.fillPath(Shapes::roundedRect(bar, sh * 0.03), i == 0 ? pal.primary : pal.soft);
    }
    const QRectF track(screen.left() + sh * 0.12, screen.top() + sh * 0.76, screen.width() - sh * 0.24,
                       sh * 0.07);
    p.fillPath(Shapes::roundedRect(track, track.height() / 2), QColor(0xE2, 0xE6, 0xED));
    QRectF done = track;
    done.setWidth(track.width() * 0.64);
    p.fillPath(Shapes::roundedRect(done, track.height() / 2), pal.primary);

    p.fillPath(deck, vertical(deck.boundingRect(), QColor(0xE4, 0xE9, 0xF0), QColor(0xB9, 0xC4, 0xD3)));
    p.fillPath(Shapes::roundedRect(QRectF(r.center().x() - w * 0.08, r.top() + h * 0.86, w * 0.16, h * 0.03),
                                   h * 0.015),
               QColor(0xA7, 0xB3, 0xC5));
}

void magnifier(QPainter& p, const QPointF& centre, qreal radius, const Palette& pal)
{
    const qreal d = radius * 0.7071;
    const QPointF handleStart = centre + QPointF(d, d);
    const QPointF handleEnd = centre + QPointF(radius * 1.75, radius * 1.75);
    QPainterPath lens;
    lens.addEllipse(centre, radius * 1.12, radius * 1.12);
    Shapes::softShadow(p, lens, shadowInk, radius * 0.3, QPointF(0, radius * 0.12));

    p.setPen(QPen(Ink::navy(), radius * 0.34, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handleStart, handleEnd);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(centre, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal.primary, radius * 0.2));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 220), radius * 0.1, Qt::SolidLine, Qt::RoundCap));
    QRectF arcBox(centre.x() - radius * 0.62, centre.y() - radius * 0.62, radius * 1.24, radius * 1.24);
    p.drawArc(arcBox, 100 * 16, 60 * 16);
    p.setPen(Qt::NoPen);
}

} // namespace Devices
