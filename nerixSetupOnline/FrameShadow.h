#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// The drop shadow around the window's frame. A graphics effect on the frame
// would blur the whole 1024 × 720 frame again for every repaint of any child
// (each progress step); here the effect renders a small tile once per screen
// scale and the shadow is painted from its corners and edges, in device
// pixels so that the pieces meet without seams at 125 % or 150 % too.
class FrameShadow
{
public:
    FrameShadow(qreal blurRadius, const QColor& color);

    void paint(QPainter& painter, const QRect& frameRect) const;

private:
    void renderTile(qreal ratio) const;

    qreal m_blurRadius;
    QColor m_color;
    mutable qreal m_ratio = 0; // device pixels per logical pixel of the tile
    mutable int m_pad = 0;     // how far the tile reaches outside the rectangle, in device pixels
    mutable QImage m_tile;
};
