#include "platform/ExternalTools.h"

QString ExternalTools::sevenZipProgram()
{
    // Debian's p7zip-full.
    return QStringLiteral("7z");
}
