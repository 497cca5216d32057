#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// The drop shadow around the window's frame. A graphics effect on the frame
// would blur the whole 1024 × 720 frame again for every repaint of any child
// (each progress step); here the effect renders a small tile once and the
// shadow is painted from its corners and edges.
class FrameShadow
{
public:
    FrameShadow(qreal blurRadius, const QColor& color);

    void paint(QPainter& painter, const QRect& frameRect) const;

private:
    int m_pad; // how far the tile reaches outside the rectangle
    QImage m_tile;
};
