#include "install/Shortcuts.h"

#include "BuildConfig.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool makeLink(const QString& target, const QString& linkPath)
{
    // A link left by an earlier install would make the link call fail and
    // keep pointing at the old folder (a shell shortcut would simply be
    // rewritten). Only a link is replaced, never a file.
    if (QFileInfo(linkPath).isSymLink())
        QFile::remove(linkPath);
    QFile file(target);
    if (file.link(linkPath))
        return true;
    // The run goes on without it: the log must say which one and why.
    qDebug() << "shortcut failed" << linkPath << file.errorString();
    return false;
}

} // namespace

QString productDisplayName()
{
    return greenTheme ? QCoreApplication::translate("InstallThread", "language6")
                      : QCoreApplication::translate("InstallThread", "language7");
}

bool createDesktopLink(const QString& target)
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // A fresh account may not have one yet.
    QDir().mkpath(desktop);
    return makeLink(target, desktop + QLatin1Char('/') + productDisplayName() + QStringLiteral(".lnk"));
}

bool createStartMenuLink(const QString& target, const QString& linkName)
{
    const QString applications = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    const QString folder = applications + QLatin1Char('/') + productDisplayName();
    // A fresh account may lack the applications folder and its parents; the
    // product's own folder is always one level below it.
    QDir().mkpath(applications);
    if (!QFileInfo(folder).isDir())
        QDir().mkdir(folder);
    if (!QFileInfo(folder).isDir())
        return false;
    return makeLink(target, folder + QLatin1Char('/') + linkName);
}
