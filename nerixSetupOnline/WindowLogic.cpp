#include "nerixSetupOnline/WindowLogic.h"

#include "BuildConfig.h"
#include "install/ProductFiles.h"

namespace WindowLogic {

bool hasEnoughSpace(quint64 freeBytes)
{
    return freeBytes >= minimumFreeBytes;
}

bool installAllowed(bool agreed, bool spaceKnown, quint64 freeBytes)
{
    return agreed && spaceKnown && hasEnoughSpace(freeBytes);
}

QString freeSpaceText(double freeGiB)
{
    return QString::number(freeGiB, 'f', 2) + QStringLiteral("GB");
}

int barValue(int installPhase, int per)
{
    const double value = installPhase == 0 ? per * 0.8 : per * 0.2 + 80.0;
    return int(value);
}

QString packageUrl(int mode, bool green, bool free)
{
    QString url = QLatin1String(endpoints::packageHost) + QStringLiteral("/upload/pc/corvaneSetupx64_min.7z");
    if (mode == 0)
        url =
            QLatin1String(endpoints::packageHost) + QStringLiteral("/upload/pc/corvaneSetupx64_min_test.7z");
    if (green)
        url = QLatin1String(endpoints::productHost) + QStringLiteral("/upload/pc/quorbelSetupx64_min.7z");
    if (free)
        url = QLatin1String(endpoints::productHost) + QStringLiteral("/upload/pc/corvaneSetupFreex64_min.7z");
    return url;
}

QString installPathFor(const QString& installRoot, bool green)
{
    QString path = installRoot + QLatin1Char('/') + ProductFiles::folderName(green);
    path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}

QString installingText()
{
    return QStringLiteral("正在安装中，请不要关闭…");
}

QString agreementUrl()
{
    return QLatin1String(endpoints::agreementHost) + QStringLiteral("/agreement.html");
}

} // namespace WindowLogic
