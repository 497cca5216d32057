#include "nerixSetupOnline/PageImages.h"

void PageImages::defer(QWidget* page)
{
    const QList<QWidget*> widgets = page->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const QString style = widget->styleSheet();
        // Image-only rules in this form. A container's sheet is left: taking
        // it off restyles every child, which costs more than its picture.
        if (!style.contains(QLatin1String("url(")) || !widget->findChildren<QWidget*>().isEmpty())
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
