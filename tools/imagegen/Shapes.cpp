#include "Shapes.h"

#include "Palette.h"

#include <QFont>
#include <QFontInfo>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <vector>

namespace {

const char* const fontFamily = "DejaVu Sans";
int canvasScale = 1;

// One horizontal box-blur pass over a row-major plane; pixels outside count as zero.
void boxBlurRows(std::vector<float>& plane, int width, int height, int radius)
{
    std::vector<float> row(static_cast<size_t>(width));
    const float norm = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < height; ++y) {
        float* line = plane.data() + size_t(y) * size_t(width);
        float sum = 0;
        for (int x = -radius; x <= radius; ++x)
            sum += (x >= 0 && x < width) ? line[x] : 0.0f;
        for (int x = 0; x < width; ++x) {
            row[size_t(x)] = sum * norm;
            const int out = x - radius;
            const int in = x + radius + 1;
            sum -= (out >= 0) ? line[out] : 0.0f;
            sum += (in < width) ? line[in] : 0.0f;
        }
        std::copy(row.begin(), row.end(), line);
    }
}

std::vector<float> transposed(const std::vector<float>& plane, int width, int height)
{
    std::vector<float> t(plane.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            t[size_t(x) * size_t(height) + size_t(y)] = plane[size_t(y) * size_t(width) + size_t(x)];
    return t;
}

QFont sansFont(bool bold)
{
    QFont font(QString::fromLatin1(fontFamily));
    font.setPixelSize(200);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace

namespace Shapes {

void setScale(int scale)
{
    canvasScale = scale;
}

int scale()
{
    return canvasScale;
}

QImage canvas(const QSize& size)
{
    QImage image(size * canvasScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(canvasScale);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(Qt::NoPen);
}

void softShadow(QPainter& p, const QPainterPath& shape, const QColor& color, qreal blur,
                const QPointF& offset)
{
    // In device pixels: on a 2x canvas the painter's scale is not part of its world transform.
    const QTransform world = p.deviceTransform();
    const qreal scale = std::sqrt(std::abs(world.determinant()));
    const int radius = std::max(1, qRound(blur * scale / 2.0));
    const QPainterPath device = world.map(shape);
    const QRect box =
        device.boundingRect().toAlignedRect().adjusted(-3 * radius, -3 * radius, 3 * radius, 3 * radius);

    QImage mask(box.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter mp(&mask);
        mp.setRenderHint(QPainter::Antialiasing);
        mp.translate(-box.topLeft());
        mp.fillPath(device, Qt::black);
    }

    const int w = box.width();
    const int h = box.height();
    std::vector<float> plane(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < w; ++x)
            plane[size_t(y) * size_t(w) + size_t(x)] = float(qAlpha(line[x])) / 255.0f;
    }
    // Three box passes approximate a Gaussian well enough for a shadow.
    for (int pass = 0; pass < 3; ++pass)
        boxBlurRows(plane, w, h, radius);
    plane = transposed(plane, w, h);
    for (int pass = 0; pass < 3; ++pass)
        boxBlurRows(plane, h, w, radius);
    plane = transposed(plane, h, w);

    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = qRound(plane[size_t(y) * size_t(w) + size_t(x)] * float(color.alpha()));
            line[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), std::clamp(a, 0, 255)));
        }
    }

    p.save();
    p.resetTransform();
    const QPointF shift = world.map(offset) - world.map(QPointF());
    const qreal ratio = p.device()->devicePixelRatioF();
    mask.setDevicePixelRatio(ratio);
    p.drawImage((QPointF(box.topLeft()) + shift) / ratio, mask);
    p.restore();
}

bool fontAvailable()
{
    return QFontInfo(sansFont(true)).family() == QLatin1String(fontFamily);
}

QPainterPath textPath(const QString& text, bool bold, qreal capHeight, const QPointF& origin,
                      qreal letterSpacing)
{
    QFont font = sansFont(bold);
    QPainterPath cap;
    cap.addText(0, 0, font, QStringLiteral("H"));
    const qreal k = capHeight / cap.boundingRect().height();
    if (letterSpacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing / k);

    QPainterPath raw;
    raw.addText(0, 0, font, text);
    QTransform t;
    t.translate(origin.x() - raw.boundingRect().left() * k, origin.y());
    t.scale(k, k);
    return t.map(raw);
}

QPainterPath roundedRect(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void fileTile(QPainter& p, const QRectF& r, FileKind kind, const Palette& pal, qreal angle)
{
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    const QRectF c(-r.width() / 2, -r.height() / 2, r.width(), r.height());
    const qreal w = c.width();
    const qreal rad = w * 0.12;
    const qreal fold = w * 0.3;

    QPainterPath card;
    card.moveTo(c.left() + rad, c.top());
    card.lineTo(c.right() - fold, c.top());
    card.lineTo(c.right(), c.top() + fold);
    card.lineTo(c.right(), c.bottom() - rad);
    card.quadTo(c.bottomRight(), QPointF(c.right() - rad, c.bottom()));
    card.lineTo(c.left() + rad, c.bottom());
    card.quadTo(c.bottomLeft(), QPointF(c.left(), c.bottom() - rad));
    card.lineTo(c.left(), c.top() + rad);
    card.quadTo(c.topLeft(), QPointF(c.left() + rad, c.top()));
    card.closeSubpath();

    softShadow(p, card, QColor(36, 49, 74, 50), w * 0.22, QPointF(0, w * 0.08));
    p.fillPath(card, Qt::white);

    QColor accent;
    switch (kind) {
    case FileKind::Document:
        accent = pal.primary;
        break;
    case FileKind::Photo:
        accent = QColor(0xFF, 0x6B, 0x7F);
        break;
    case FileKind::Video:
        accent = QColor(0x86, 0x67, 0xF2);
        break;
    case FileKind::Music:
        accent = QColor(0xFF, 0x9D, 0x2E);
        break;
    }

    QPainterPath corner;
    corner.moveTo(c.right() - fold, c.top());
    corner.lineTo(c.right() - fold, c.top() + fold - rad * 0.6);
    corner.quadTo(QPointF(c.right() - fold, c.top() + fold),
                  QPointF(c.right() - fold + rad * 0.6, c.top() + fold));
    corner.lineTo(c.right(), c.top() + fold);
    corner.closeSubpath();
    QColor cornerColor = accent;
    cornerColor.setAlpha(90);
    p.fillPath(corner, cornerColor);

    const QPointF g(0, c.height() * 0.1); // glyph centre
    const qreal u = w * 0.5;              // glyph unit
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    switch (kind) {
    case FileKind::Document: {
        QPen pen(accent, w * 0.075, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        const qreal left = g.x() - u * 0.55;
        for (int i = 0; i < 4; ++i) {
            const qreal y = g.y() - u * 0.5 + i * u * 0.34;
            const qreal len = (i == 3) ? u * 0.65 : u * 1.1;
            if (i == 0) {
                // A bolder, shorter title line.
                p.setPen(QPen(accent, w * 0.1, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(left, y), QPointF(left + u * 0.55, y));
                p.setPen(pen);
                continue;
            }
            p.drawLine(QPointF(left, y), QPointF(left + len, y));
        }
        break;
    }
    case FileKind::Photo: {
        const QRectF frame(g.x() - u * 0.62, g.y() - u * 0.5, u * 1.24, u * 1.0);
        QColor back = accent;
        back.setAlpha(45);
        p.fillPath(roundedRect(frame, u * 0.12), back);
        p.save();
        p.setClipPath(roundedRect(frame, u * 0.12));
        QPainterPath hills;
        hills.moveTo(frame.left(), frame.bottom());
        hills.lineTo(frame.left() + frame.width() * 0.35, frame.top() + frame.height() * 0.45);
        hills.lineTo(frame.left() + frame.width() * 0.58, frame.top() + frame.height() * 0.72);
        hills.lineTo(frame.left() + frame.width() * 0.75, frame.top() + frame.height() * 0.55);
        hills.lineTo(frame.right(), frame.bottom());
        hills.closeSubpath();
        p.fillPath(hills, accent);
        p.restore();
        p.drawEllipse(QPointF(frame.left() + frame.width() * 0.74, frame.top() + frame.height() * 0.27),
                      u * 0.11, u * 0.11);
        break;
    }
    case FileKind::Video: {
        p.drawEllipse(g, u * 0.56, u * 0.56);
        QPainterPath play;
        play.moveTo(g + QPointF(-u * 0.17, -u * 0.27));
        play.lineTo(g + QPointF(u * 0.3, 0));
        play.lineTo(g + QPointF(-u * 0.17, u * 0.27));
        play.closeSubpath();
        p.fillPath(play, Qt::white);
        break;
    }
    case FileKind::Music: {
        const qreal s = u * 0.52;
        const QPointF a = g + QPointF(-s * 0.55, s * 0.72);
        const QPointF b = g + QPointF(s * 0.75, s * 0.5);
        p.drawEllipse(a, s * 0.3, s * 0.24);
        p.drawEllipse(b, s * 0.3, s * 0.24);
        p.setPen(QPen(accent, w * 0.07, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a + QPointF(s * 0.27, 0), a + QPointF(s * 0.27, -s * 1.4));
        p.drawLine(b + QPointF(s * 0.27, 0), b + QPointF(s * 0.27, -s * 1.4));
        p.setPen(Qt::NoPen);
        QPainterPath beam;
        beam.moveTo(a + QPointF(s * 0.27 - w * 0.035, -s * 1.4));
        beam.lineTo(b + QPointF(s * 0.27 + w * 0.035, -s * 1.62));
        beam.lineTo(b + QPointF(s * 0.27 + w * 0.035, -s * 1.3));
        beam.lineTo(a + QPointF(s * 0.27 - w * 0.035, -s * 1.08));
        beam.closeSubpath();
        p.fillPath(beam, accent);
        break;
    }
    }
    p.restore();
}

void sparkle(QPainter& p, const QPointF& c, qreal size, const QColor& color)
{
    QPainterPath star;
    star.moveTo(c.x(), c.y() - size);
    star.quadTo(c, QPointF(c.x() + size, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() + size));
    star.quadTo(c, QPointF(c.x() - size, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() - size));
    p.fillPath(star, color);
}

void dashedCurve(QPainter& p, const QPainterPath& path, const QColor& color, qreal width)
{
    QPen pen(color, width, Qt::CustomDashLine, Qt::RoundCap);
    pen.setDashPattern({1.6, 2.4});
    p.save();
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

void arrowHead(QPainter& p, const QPointF& tip, const QPointF& direction, qreal length, const QColor& color)
{
    const qreal norm = std::hypot(direction.x(), direction.y());
    const QPointF d = direction / norm;
    const QPointF n(-d.y(), d.x());
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - d * length + n * length * 0.62);
    head.lineTo(tip - d * length * 0.72);
    head.lineTo(tip - d * length - n * length * 0.62);
    head.closeSubpath();
    p.save();
    p.setPen(QPen(color, length * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    p.drawPath(head);
    p.restore();
}

void checkMark(QPainter& p, const QRectF& r, const QColor& color, qreal width)
{
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.2, r.top() + r.height() * 0.53);
    tick.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.74);
    tick.lineTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.3);
    p.save();
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    p.restore();
}

void floorShadow(QPainter& p, const QPointF& c, qreal rx, qreal ry, const QColor& color)
{
    p.save();
    p.translate(c);
    p.scale(1.0, ry / rx);
    QRadialGradient g(QPointF(), rx);
    QColor clear = color;
    clear.setAlpha(0);
    g.setColorAt(0, color);
    g.setColorAt(0.55, QColor(color.red(), color.green(), color.blue(), color.alpha() / 2));
    g.setColorAt(1, clear);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(), rx, rx);
    p.restore();
}

} // namespace Shapes
