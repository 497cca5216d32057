#pragma once

#include <QJsonObject>
#include <QString>

// One InstallThread run (extraction, both copy passes, the written files,
// shortcuts and registration) with its signals delivered to this thread, as
// the window receives them.
class InstallBench
{
public:
    InstallBench(const QString& packagePath, const QString& installDir, const QString& installerDir);

    QJsonObject run();

private:
    QString m_packagePath;
    QString m_installDir;
    QString m_installerDir;
};
