#include "platform/ExternalTools.h"

QString ExternalTools::sevenZipProgram()
{
    // Found beside the installer first, then on the search path.
    return QStringLiteral("7z.exe");
}
