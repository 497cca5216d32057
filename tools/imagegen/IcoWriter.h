#pragma once

#include <QVector>

class QImage;
class QString;

// Writes a Windows icon file holding each image as a PNG, which Windows
// reads at every size since Vista.
namespace IcoWriter {

// Square images of at most 256 pixels; false when the file cannot be written.
bool write(const QVector<QImage>& images, const QString& path);

} // namespace IcoWriter
