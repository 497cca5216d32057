#pragma once

#include <QAccessible>
#include <QAccessibleWidget>

// What assistive technology is told about the window's labels and plain
// widgets that act as buttons, links and the agreement tick: Qt cannot infer
// those roles. Press and toggle actions activate the control the way the
// keyboard does, so they run the same code as a click.
class ControlAccessible : public QAccessibleWidget
{
public:
    // Gives control the role (Button, Link or CheckBox) and a name; a check
    // box's state is its "checked" property.
    static void describe(QWidget* control, QAccessible::Role role, const QString& name);

    ControlAccessible(QWidget* control, QAccessible::Role role);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
};
