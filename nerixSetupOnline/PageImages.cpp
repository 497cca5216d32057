#include "nerixSetupOnline/PageImages.h"

#include <QVariant>
#include <QWidget>

void PageImages::restore(QWidget* page)
{
    if (!page)
        return;
    // Containers before what they hold: a container's new sheet restyles
    // everything below it, and a picture already set would be decoded again.
    QList<QWidget*> widgets{page};
    widgets += page->findChildren<QWidget*>();
    for (QWidget* widget : qAsConst(widgets)) {
        const QVariant style = widget->property(property);
        if (!style.isValid())
            continue;
        widget->setProperty(property, QVariant());
        if (widget->styleSheet().isEmpty())
            widget->setStyleSheet(style.toString());
    }
}
