#pragma once

#include <QColor>
#include <QHash>
#include <QPointer>
#include <QWidget>

// The keyboard focus ring: a thin rounded outline in the theme's colour
// around the focused control. It shows only once the keyboard is in use, so
// a mouse user never sees it, even on the button that holds the focus when a
// page appears.
class FocusRing : public QWidget
{
    Q_OBJECT

public:
    FocusRing(QWidget* parent, const QColor& color);

    // Draws the ring around control with corners of the given radius.
    void track(QWidget* control, qreal radius);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void surround(QWidget* control);

    QColor m_color;
    QHash<QWidget*, qreal> m_radius;
    QPointer<QWidget> m_target;
    bool m_keyboard = false;
};
