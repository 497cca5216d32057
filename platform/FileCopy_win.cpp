#include "platform/FileCopy.h"

#include <QFile>

bool FileCopy::copyNew(const QString& source, const QString& destination)
{
    // CopyFileW underneath, which does not flush every file.
    return QFile::copy(source, destination);
}
