#include "nerixSetupOnline/FrameShadow.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPaintDevice>
#include <QPainter>
#include <QtMath>

FrameShadow::FrameShadow(qreal blurRadius, const QColor& color) : m_blurRadius(blurRadius), m_color(color) {}

void FrameShadow::renderTile(qreal ratio) const
{
    const qreal blur = m_blurRadius * ratio;
    m_ratio = ratio;
    m_pad = qCeil(blur) + 2;
    // A rectangle twice the pad wide on each side, so the middle row and
    // column of the tile are what a straight edge looks like.
    const int inner = 2 * m_pad + 2;
    const int side = inner + 2 * m_pad;

    QGraphicsScene scene;
    QGraphicsRectItem* rect = scene.addRect(QRectF(m_pad, m_pad, inner, inner), Qt::NoPen, QBrush(Qt::white));
    auto* effect = new QGraphicsDropShadowEffect;
    effect->setOffset(0, 0);
    effect->setColor(m_color);
    effect->setBlurRadius(blur);
    rect->setGraphicsEffect(effect);

    m_tile = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
    m_tile.fill(Qt::transparent);
    QPainter painter(&m_tile);
    scene.render(&painter, QRectF(0, 0, side, side), QRectF(0, 0, side, side));
}

void FrameShadow::paint(QPainter& painter, const QRect& frameRect) const
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (!qFuzzyCompare(ratio, m_ratio))
        renderTile(ratio);
    const int corner = 2 * m_pad;
    const int side = m_tile.width();
    // The frame in device pixels, its edges rounded as Qt rounds the frame's own.
    const QRect frame(
        QPoint(qRound(frameRect.left() * ratio), qRound(frameRect.top() * ratio)),
        QPoint(qRound((frameRect.right() + 1) * ratio) - 1, qRound((frameRect.bottom() + 1) * ratio) - 1));
    const QRect outer = frame.adjusted(-m_pad, -m_pad, m_pad, m_pad);
    const int spanX = outer.width() - 2 * corner;
    const int spanY = outer.height() - 2 * corner;
    if (spanX <= 0 || spanY <= 0)
        return;

    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    const int right = outer.right() + 1 - corner;
    const int bottom = outer.bottom() + 1 - corner;
    const int far = side - corner;
    // Corners as rendered, edges stretched from the tile's middle.
    painter.drawImage(QRect(outer.left(), outer.top(), corner, corner), m_tile, QRect(0, 0, corner, corner));
    painter.drawImage(QRect(right, outer.top(), corner, corner), m_tile, QRect(far, 0, corner, corner));
    painter.drawImage(QRect(outer.left(), bottom, corner, corner), m_tile, QRect(0, far, corner, corner));
    painter.drawImage(QRect(right, bottom, corner, corner), m_tile, QRect(far, far, corner, corner));
    painter.drawImage(QRect(outer.left() + corner, outer.top(), spanX, corner), m_tile,
                      QRect(corner, 0, 1, corner));
    painter.drawImage(QRect(outer.left() + corner, bottom, spanX, corner), m_tile,
                      QRect(corner, far, 1, corner));
    painter.drawImage(QRect(outer.left(), outer.top() + corner, corner, spanY), m_tile,
                      QRect(0, corner, corner, 1));
    painter.drawImage(QRect(right, outer.top() + corner, corner, spanY), m_tile,
                      QRect(far, corner, corner, 1));
    painter.restore();
}
