#include "nerixSetupOnline/PageBackground.h"

#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QWidget>
#include <QtMath>
#include <future>

namespace {

std::future<QImage>& pending()
{
    static std::future<QImage> image;
    return image;
}

// The picture Qt's style sheets would take at this scale: the "@Nx" file of
// the largest N up to the scale rounded up that exists, else the file itself.
QImage decode(const QString& path, qreal scale)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    for (int n = qCeil(scale); n > 1; --n) {
        const QString candidate = path.left(dot) + QStringLiteral("@%1x").arg(n) + path.mid(dot);
        if (QFile::exists(candidate)) {
            QImage image = QImageReader(candidate).read();
            image.setDevicePixelRatio(n);
            return image;
        }
    }
    return QImageReader(path).read();
}

} // namespace

const QString PageBackground::file = QStringLiteral(":/nerixSetupOnline/Resources/bg.png");

void PageBackground::preload()
{
    pending() = std::async(std::launch::async, decode, file, qApp->devicePixelRatio());
}

PageBackground::PageBackground(QWidget* page) : QObject(page)
{
    page->installEventFilter(this);
}

bool PageBackground::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        // Taken at the first paint, so the window is built and shown meanwhile.
        if (m_pixmap.isNull())
            m_pixmap = QPixmap::fromImage(pending().valid() ? pending().get()
                                                            : decode(file, qApp->devicePixelRatio()));
        auto* page = static_cast<QWidget*>(watched);
        QPainter painter(page);
        painter.drawPixmap(page->rect(), m_pixmap);
    }
    return false;
}
