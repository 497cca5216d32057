#include "nerixSetupOnline/FocusRing.h"

#include <QFocusEvent>
#include <QPainter>

namespace {

constexpr int kGap = 3; // between the control and the ring
constexpr qreal kWidth = 2;

} // namespace

FocusRing::FocusRing(QWidget* parent, const QColor& color) : QWidget(parent), m_color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRing::track(QWidget* control, qreal radius)
{
    m_radius.insert(control, radius);
    control->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    auto* control = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            m_keyboard = true;
        else if (reason == Qt::MouseFocusReason)
            m_keyboard = false;
        m_target = control;
        surround(control);
        break;
    }
    case QEvent::FocusOut:
    case QEvent::Hide:
        if (m_target == control)
            hide();
        break;
    case QEvent::KeyPress:
        m_keyboard = true;
        surround(control);
        break;
    case QEvent::MouseButtonPress:
        m_keyboard = false;
        hide();
        break;
    default:
        break;
    }
    return false;
}

void FocusRing::surround(QWidget* control)
{
    if (!m_keyboard || !control->hasFocus() || !control->isVisible()) {
        hide();
        return;
    }
    const QPoint origin = control->mapTo(parentWidget(), QPoint(0, 0));
    setGeometry(QRect(origin, control->size()).adjusted(-kGap, -kGap, kGap, kGap));
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_color, kWidth));
    const qreal inset = kWidth / 2;
    const qreal radius = m_radius.value(m_target, 2) + kGap - inset;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}
