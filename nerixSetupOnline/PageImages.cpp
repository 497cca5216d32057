#include "nerixSetupOnline/PageImages.h"

void PageImages::defer(QWidget* page)
{
    QList<QWidget*> widgets = page->findChildren<QWidget*>();
    widgets.prepend(page);
    for (QWidget* widget : widgets) {
        const QString style = widget->styleSheet();
        if (!style.contains(QLatin1String("url("))) // image-only rules in this form
            continue;
        m_deferred[page].append({widget, style});
        widget->setStyleSheet(QString());
    }
}

void PageImages::restore(QWidget* page)
{
    const auto deferred = m_deferred.take(page);
    for (const auto& [widget, style] : deferred) {
        if (widget && widget->styleSheet().isEmpty())
            widget->setStyleSheet(style);
    }
}
