#include "IcoWriter.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImage>

bool IcoWriter::write(const QVector<QImage>& images, const QString& path)
{
    QVector<QByteArray> pngs;
    for (const QImage& image : images) {
        if (image.width() != image.height() || image.width() > 256)
            return false;
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) ||
            !image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG"))
            return false;
        pngs.append(png);
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    // The directory: reserved, type 1 (icon), count; then one entry per image.
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const int side = images.at(i).width();
        // 256 is written as 0.
        out << quint8(side % 256) << quint8(side % 256) << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(pngs.at(i).size()) << offset;
        offset += quint32(pngs.at(i).size());
    }
    for (const QByteArray& png : qAsConst(pngs))
        out.writeRawData(png.constData(), png.size());
    return out.status() == QDataStream::Ok && file.flush();
}
