#pragma once

#include <QColor>

// One theme's colours; every image takes its accents from here so that the
// green edition is the same artwork recoloured.
struct Palette
{
    QColor primary; // buttons, fills
    QColor light;   // gradient highlight
    QColor dark;    // gradient shade, pressed
    QColor soft;    // decorations on light backgrounds
    QColor tint;    // very light wash

    static Palette blue()
    {
        return {QColor(0x3B, 0x7E, 0xEE), QColor(0x6B, 0xA6, 0xFF), QColor(0x22, 0x5C, 0xD4),
                QColor(0xC4, 0xDA, 0xFC), QColor(0xEC, 0xF3, 0xFF)};
    }
    static Palette green()
    {
        return {QColor(0x21, 0xAD, 0x36), QColor(0x3F, 0xD0, 0x57), QColor(0x17, 0x8E, 0x2B),
                QColor(0xBF, 0xEB, 0xC7), QColor(0xEA, 0xF8, 0xEC)};
    }
};

// Neutral colours shared by both themes.
namespace Ink {
inline QColor navy()
{
    return QColor(0x24, 0x31, 0x4A);
}
inline QColor slate()
{
    return QColor(0x4A, 0x52, 0x61);
}
inline QColor steel()
{
    return QColor(0x8A, 0x97, 0xAB);
}
inline QColor silver()
{
    return QColor(0xD4, 0xDC, 0xE7);
}
inline QColor cloud()
{
    return QColor(0xF3, 0xF6, 0xFA);
}
inline QColor success()
{
    return QColor(0x1F, 0xBF, 0x5B);
}
} // namespace Ink
