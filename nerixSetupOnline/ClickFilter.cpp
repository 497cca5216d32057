#include "nerixSetupOnline/ClickFilter.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace {

bool isActivationKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return !key->isAutoRepeat() && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
           (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
}

} // namespace

void ClickFilter::add(QWidget* control, std::function<void()> action, On on)
{
    m_actions.insert(control, {on, std::move(action)});
    control->installEventFilter(this);
}

void ClickFilter::add(QAbstractButton* button)
{
    add(button, [button] { button->click(); });
}

bool ClickFilter::eventFilter(QObject* watched, QEvent* event)
{
    const auto it = m_actions.constFind(watched);
    if (it == m_actions.constEnd())
        return false;
    const bool key = isActivationKey(event);
    const bool button = qobject_cast<QAbstractButton*>(watched) != nullptr;
    const QEvent::Type mouse = it->on == On::Press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease;
    if (key || (!button && event->type() == mouse)) {
        // A copy: the action may close the window, and the filter with it.
        const std::function<void()> run = it->run;
        run();
    }
    return key;
}
