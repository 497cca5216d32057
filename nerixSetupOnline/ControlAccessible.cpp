#include "nerixSetupOnline/ControlAccessible.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

void ControlAccessible::describe(QWidget* control, QAccessible::Role role, const QString& name)
{
    control->setAccessibleName(name);
    // Qt's own interface for a label or plain widget answers first and is
    // cached (also when the form was built while a screen reader listened):
    // this one takes its place.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(control)));
    QAccessible::registerAccessibleInterface(new ControlAccessible(control, role));
}

ControlAccessible::ControlAccessible(QWidget* control, QAccessible::Role role)
    : QAccessibleWidget(control, role)
{
}

QAccessible::State ControlAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (role() == QAccessible::CheckBox) {
        state.checkable = true;
        state.checked = widget()->property("checked").toBool();
    }
    return state;
}

QStringList ControlAccessible::actionNames() const
{
    return QStringList(role() == QAccessible::CheckBox ? toggleAction() : pressAction()) +
           QAccessibleWidget::actionNames();
}

void ControlAccessible::doAction(const QString& actionName)
{
    if (actionName != pressAction() && actionName != toggleAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(widget(), &press);
}
