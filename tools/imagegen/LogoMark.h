#pragma once

#include <QPainterPath>
#include <QRectF>

class QPainter;
struct Palette;

// The product mark: a shield holding a data stack circled by a restore arrow.
class LogoMark
{
public:
    enum class Style {
        Colour,  // coloured shield, white symbol
        Inverse, // white shield, coloured symbol (for coloured backgrounds)
    };

    // Designed on a 100 x 112 grid; paint() fits it centred into box.
    static constexpr qreal gridWidth = 100;
    static constexpr qreal gridHeight = 112;

    static QPainterPath shield();
    // Shadow under the mark as it would sit in box.
    static void paintShadow(QPainter& p, const QRectF& box, qreal strength = 1.0);
    static void paint(QPainter& p, const QRectF& box, const Palette& pal, Style style = Style::Colour);

private:
    static QTransform fit(const QRectF& box);
    static void paintSymbol(QPainter& p, const QColor& ink, const QColor& seam, bool compact);
};
