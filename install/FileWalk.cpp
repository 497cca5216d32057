#include "install/FileWalk.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

void collectFiles(const QString& folder, QStringList& paths)
{
    QDir dir(folder);
    if (!dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(QDir::Dirs | QDir::Files, QDir::Name | QDir::DirsFirst);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        if (entry.isDir()) {
            // A link to a folder (its own parent, say) would make the walk endless.
            if (entry.isSymLink()) {
                qDebug() << "skip folder link" << path;
                continue;
            }
            collectFiles(path, paths);
        } else {
            paths.append(path);
        }
    }
}

bool isSkippedInstallerFile(const QString& path)
{
    return path.contains(QLatin1String("corvaneMasterInstaller.exe")) ||
           path.contains(QLatin1String("nerixSetupOnline.exe"));
}

double passProgress(int copied, int total, double span, double base)
{
    return static_cast<double>(copied) / static_cast<double>(total) * span + base;
}
