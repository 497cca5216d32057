#include "install/ReinstallPlan.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The manifest separates paths by commas and never escapes one inside a
// name: a piece that is no absolute path continues the one before it.
QStringList listedPaths(QString manifest)
{
    QStringList paths;
    if (manifest.endsWith(QLatin1Char(',')))
        manifest.chop(1);
    if (manifest.isEmpty())
        return paths;
    for (const QString& piece : manifest.split(QLatin1Char(','))) {
        if (!paths.isEmpty() && !QDir::isAbsolutePath(QDir::fromNativeSeparators(piece)))
            paths.last() += QLatin1Char(',') + piece;
        else
            paths.append(piece);
    }
    return paths;
}

bool isBelow(const QString& path, const QString& folder)
{
    return !path.isEmpty() && path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

ReinstallPlan ReinstallPlan::fromManifest(const QString& manifest, const QString& installDir)
{
    ReinstallPlan plan;
    const QString folder = QFileInfo(installDir).canonicalFilePath();
    if (folder.isEmpty())
        return plan;
    for (const QString& listed : listedPaths(manifest)) {
        const QString path = QDir::cleanPath(QDir::fromNativeSeparators(listed));
        const QFileInfo entry(path);
        if (QDir::isAbsolutePath(path) && !entry.exists() && !entry.isSymLink())
            continue; // gone already
        // Where the file really lies, after ".." and every link on the way,
        // and what it names where it is a link itself.
        const QString parent = QFileInfo(entry.path()).canonicalFilePath() + QLatin1Char('/');
        if (QDir::isAbsolutePath(path) && isBelow(parent, folder) &&
            (!entry.isSymLink() || isBelow(entry.canonicalFilePath(), folder))) {
            if (!entry.isDir())
                plan.remove.append(path);
        } else {
            plan.ignored.append(listed);
        }
    }
    return plan;
}
