#include "platform/MachineIdentity.h"

#include <QFile>

QString MachineIdentity::firmwareUuid()
{
    return QString();
}

QString MachineIdentity::installationId()
{
    // Made when the system was installed; every user may read it.
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString id = QString::fromLatin1(file.readAll()).trimmed();
        if (!id.isEmpty())
            return id;
    }
    return QString();
}
