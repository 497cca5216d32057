#pragma once

class QImage;
class QString;

// Writes PNG files with every row stored unfiltered: libpng then skips the
// per-row unfiltering when the installer decodes them, which its first frame
// pays for, and flat artwork comes out no larger.
namespace PngWriter {

// RGB for opaque images, RGBA otherwise; false when the file cannot be written.
bool write(const QImage& image, const QString& path);

} // namespace PngWriter
