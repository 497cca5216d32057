#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QWidget>

// Style-sheet pictures of pages that are not shown yet. Qt decodes every
// image of a style sheet when the window is polished, hidden pages included;
// the labels' pictures wait until their page first appears.
class PageImages
{
public:
    // Takes the image rules off the labels (widgets without children) of page.
    void defer(QWidget* page);
    // Gives them back (once); a style sheet set meanwhile is left alone.
    void restore(QWidget* page);

private:
    QHash<QWidget*, QList<QPair<QPointer<QWidget>, QString>>> m_deferred;
};
