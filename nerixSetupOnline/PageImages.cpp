#include "nerixSetupOnline/PageImages.h"

#include <QImageReader>
#include <QLabel>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

namespace {

QString centredSmallPicture(const QString& style, const QSize& labelSize)
{
    static const QRegularExpression rule(QStringLiteral("^image:\\s*url\\(([^)]*)\\);$"));
    const QRegularExpressionMatch match = rule.match(style.trimmed());
    const QSize picture = match.hasMatch() ? QImageReader(match.captured(1)).size() : QSize();
    if (!picture.isValid() || picture == labelSize || picture.boundedTo(labelSize) != picture)
        return style;
    return QStringLiteral(
               "background-image: url(%1); background-position: center; background-repeat: no-repeat;")
        .arg(match.captured(1));
}

} // namespace

void PageImages::centreSmallPictures(QWidget* root)
{
    const QList<QLabel*> labels = root->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const QString style = label->styleSheet();
        const QString centred = centredSmallPicture(style, label->size());
        if (centred != style)
            label->setStyleSheet(centred);
        const QVariant later = label->property(property);
        if (later.isValid())
            label->setProperty(property, centredSmallPicture(later.toString(), label->size()));
    }
}

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
