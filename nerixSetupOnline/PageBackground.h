#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>

class QWidget;

// The background of the page the window opens on, the largest picture of the
// first frame. A style sheet would decode it on the GUI thread while the form
// is built; this decodes it on another thread meanwhile (preload) and paints
// it under the page's widgets, as a border image of the page's size would.
class PageBackground : public QObject
{
public:
    static const QString file;

    // Starts decoding; call once the application object exists.
    static void preload();

    // Paints the background on page; decodes it at the first paint when
    // nothing preloaded it.
    explicit PageBackground(QWidget* page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPixmap m_pixmap;
};
