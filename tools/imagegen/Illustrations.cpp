#include "Illustrations.h"

#include "Devices.h"
#include "Palette.h"
#include "Shapes.h"

#include <QPainter>
#include <functional>

namespace {

using Shapes::FileKind;

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// Paints a scene designed at design size into an image of the requested size,
// scaled uniformly and centred.
QImage render(const QSize& size, const QSizeF& design, const std::function<void(QPainter&)>& scene)
{
    QImage image = Shapes::canvas(size);
    QPainter p(&image);
    Shapes::prepare(p);
    const qreal s = qMin(size.width() / design.width(), size.height() / design.height());
    p.translate((size.width() - design.width() * s) / 2, (size.height() - design.height() * s) / 2);
    p.scale(s, s);
    scene(p);
    return image;
}

void flightPath(QPainter& p, const QPainterPath& path, const Palette& pal)
{
    Shapes::dashedCurve(p, path, withAlpha(pal.primary, 150), 2.2);
    const qreal end = path.length();
    const QPointF tip = path.pointAtPercent(1.0);
    const QPointF before = path.pointAtPercent(path.percentAtLength(end - 6));
    Shapes::arrowHead(p, tip, tip - before, 9, withAlpha(pal.primary, 200));
}

} // namespace

namespace Illustrations {

QImage diskRecovery(const Palette& pal, const QSize& size)
{
    return render(size, QSizeF(600, 246), [&pal](QPainter& p) {
        Shapes::floorShadow(p, QPointF(300, 224), 280, 18, withAlpha(pal.soft, 170));

        Shapes::floorShadow(p, QPointF(120, 218), 70, 7, QColor(20, 40, 90, 40));
        Devices::hardDisk(p, QRectF(72, 80, 100, 134), pal);
        Devices::monitor(p, QRectF(208, 20, 190, 200), pal);
        Shapes::floorShadow(p, QPointF(500, 214), 70, 7, QColor(20, 40, 90, 40));
        Devices::folder(p, QRectF(446, 112, 112, 98), pal);

        // Files lifted off the disk onto the computer, then saved into the folder.
        QPainterPath toScreen;
        toScreen.moveTo(120, 70);
        toScreen.cubicTo(112, 14, 168, 4, 202, 44);
        flightPath(p, toScreen, pal);
        QPainterPath toFolder;
        toFolder.moveTo(406, 48);
        toFolder.cubicTo(452, 6, 512, 18, 504, 100);
        flightPath(p, toFolder, pal);

        Shapes::fileTile(p, QRectF(36, 22, 34, 42), FileKind::Photo, pal, -14);
        Shapes::fileTile(p, QRectF(148, 6, 30, 38), FileKind::Document, pal, 8);
        Shapes::fileTile(p, QRectF(446, 2, 30, 38), FileKind::Music, pal, -10);
        Shapes::fileTile(p, QRectF(540, 24, 34, 42), FileKind::Video, pal, 12);

        Shapes::sparkle(p, QPointF(28, 150), 6, withAlpha(pal.primary, 110));
        Shapes::sparkle(p, QPointF(192, 160), 4, withAlpha(pal.primary, 90));
        Shapes::sparkle(p, QPointF(576, 120), 5, withAlpha(pal.primary, 100));
        Shapes::sparkle(p, QPointF(300, 6), 4, withAlpha(pal.primary, 80));
        p.setBrush(pal.soft);
        p.drawEllipse(QPointF(188, 100), 3, 3);
        p.drawEllipse(QPointF(425, 160), 2.5, 2.5);
        p.drawEllipse(QPointF(20, 96), 2.5, 2.5);
    });
}

QImage mediaRecovery(const Palette& pal, const QSize& size)
{
    return render(size, QSizeF(600, 286), [&pal](QPainter& p) {
        const QPointF hub(300, 196);
        Shapes::floorShadow(p, QPointF(300, 262), 270, 18, withAlpha(pal.soft, 170));

        QRadialGradient halo(hub, 122);
        halo.setColorAt(0, withAlpha(pal.soft, 150));
        halo.setColorAt(0.75, withAlpha(pal.soft, 60));
        halo.setColorAt(1, withAlpha(pal.soft, 0));
        p.setBrush(halo);
        p.drawEllipse(hub, 122, 122);

        // Orbit the file types ride on.
        QPainterPath orbit;
        const QRectF ring(hub.x() - 160, hub.y() - 160, 320, 320);
        orbit.arcMoveTo(ring, 165);
        orbit.arcTo(ring, 165, -150);
        Shapes::dashedCurve(p, orbit, withAlpha(pal.primary, 120), 2);

        Shapes::floorShadow(p, QPointF(300, 252), 90, 8, QColor(20, 40, 90, 45));
        Devices::camera(p, QRectF(222, 140, 156, 108), pal);
        Shapes::floorShadow(p, QPointF(108, 250), 42, 6, QColor(20, 40, 90, 40));
        Devices::memoryCard(p, QRectF(72, 152, 70, 90), pal, -10);
        Shapes::floorShadow(p, QPointF(496, 252), 36, 6, QColor(20, 40, 90, 40));
        Devices::usbStick(p, QRectF(472, 128, 48, 116), pal, 12);

        const qreal tw = 40;
        const qreal th = 50;
        const struct
        {
            qreal angle;
            FileKind kind;
            qreal tilt;
        } tiles[] = {{152, FileKind::Photo, -12},
                     {116, FileKind::Document, -5},
                     {64, FileKind::Video, 5},
                     {28, FileKind::Music, 12}};
        for (const auto& tile : tiles) {
            const QPointF at = QLineF::fromPolar(160, tile.angle).translated(hub).p2();
            Shapes::fileTile(p, QRectF(at.x() - tw / 2, at.y() - th / 2, tw, th), tile.kind, pal, tile.tilt);
        }

        Shapes::sparkle(p, QPointF(300, 28), 6, withAlpha(pal.primary, 110));
        Shapes::sparkle(p, QPointF(60, 84), 5, withAlpha(pal.primary, 90));
        Shapes::sparkle(p, QPointF(552, 70), 5, withAlpha(pal.primary, 100));
        p.setBrush(pal.soft);
        p.drawEllipse(QPointF(190, 120), 3, 3);
        p.drawEllipse(QPointF(416, 118), 2.5, 2.5);
        p.drawEllipse(QPointF(576, 190), 2.5, 2.5);
        p.drawEllipse(QPointF(30, 200), 2.5, 2.5);
    });
}

QImage laptopScan(const Palette& pal, const QSize& size)
{
    return render(size, QSizeF(289, 183), [&pal](QPainter& p) {
        Shapes::floorShadow(p, QPointF(144, 168), 130, 12, withAlpha(pal.soft, 170));
        Devices::laptop(p, QRectF(52, 22, 184, 146), pal);
        Devices::magnifier(p, QPointF(226, 122), 20, pal);
        Shapes::fileTile(p, QRectF(16, 34, 28, 35), FileKind::Document, pal, -12);
        Shapes::fileTile(p, QRectF(248, 18, 26, 33), FileKind::Photo, pal, 10);
        Shapes::sparkle(p, QPointF(30, 118), 5, withAlpha(pal.primary, 100));
        Shapes::sparkle(p, QPointF(150, 8), 4, withAlpha(pal.primary, 80));
        p.setBrush(pal.soft);
        p.drawEllipse(QPointF(266, 80), 2.5, 2.5);
    });
}

} // namespace Illustrations
