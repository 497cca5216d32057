#include "nerixSetupOnline/KeyboardAccess.h"

#include "BuildConfig.h"
#include "nerixSetupOnline/ControlAccessible.h"
#include "nerixSetupOnline/FocusRing.h"
#include "ui_nerixSetupOnline.h"

#include <QCoreApplication>

FocusRing* setUpKeyboardAndReaders(Ui::nerixSetupOnlineClass& ui)
{
    const QColor accent = greenTheme ? QColor(0x21, 0xAD, 0x36) : QColor(0x3B, 0x7E, 0xEE);
    const qreal buttonRadius = greenTheme ? 4 : 8;
    auto* focusRing = new FocusRing(ui.frame, accent);
    const auto tr = [](const char* key) {
        return QCoreApplication::translate("nerixSetupOnline", key);
    };
    struct Control
    {
        QWidget* widget;
        QAccessible::Role role; // NoRole: a push button that describes itself
        QString name;
        qreal ringRadius;
    };
    // In tab order: the controls of each page as they read, then the window's boxes.
    const Control controls[] = {
        {ui.label_4, QAccessible::CheckBox, ui.label_5->text(), 2},
        {ui.lb_agreement, QAccessible::Link, ui.lb_agreement->text(), 2},
        {ui.lb_custom, QAccessible::Link, ui.lb_custom->text(), 2},
        {ui.btnSetupview, QAccessible::Button, ui.label->text(), 4},
        {ui.label_8, QAccessible::CheckBox, ui.label_9->text(), 2},
        {ui.lb_agreement_2, QAccessible::Link, ui.lb_agreement_2->text(), 2},
        {ui.btnDir, QAccessible::NoRole, QString(), buttonRadius},
        {ui.btnSetupview_2, QAccessible::Button, ui.label_13->text(), buttonRadius},
        {ui.pushButton_3, QAccessible::NoRole, QString(), 4},
        {ui.btnSetupview_3, QAccessible::Button, ui.label_28->text(), buttonRadius},
        {ui.label_min, QAccessible::Button, tr("language12"), 4},
        {ui.lbClose, QAccessible::Button, tr("language11"), 4},
    };
    QWidget* previous = nullptr;
    for (const Control& control : controls) {
        if (control.role != QAccessible::NoRole) {
            control.widget->setFocusPolicy(Qt::TabFocus);
            ControlAccessible::describe(control.widget, control.role, control.name);
        }
        focusRing->track(control.widget, control.ringRadius);
        if (previous)
            QWidget::setTabOrder(previous, control.widget);
        previous = control.widget;
    }
    return focusRing;
}
