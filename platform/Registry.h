#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// The uninstall registration. On Windows the native registry, in its 32-bit
// view; elsewhere an INI file per key below <GenericConfigLocation>/registry/,
// at the path where 64-bit Windows keeps that key, values at top level.
namespace Registry {

enum class Hive { LocalMachine, CurrentUser };

struct Key
{
    Hive hive;
    // Below the hive, as the 32-bit view names it.
    QString path;
};

// The uninstall entry for a display name: listed by Windows under either hive.
Key uninstallKey(Hive hive, const QString& displayName);

// The key's full name where Windows keeps it, for the log.
QString fullName(const Key& key);

// One string value; empty when the key or the value is missing. Never
// creates the key.
QString readString(const Key& key, const QString& name);

// Writes the values in order; false when the key cannot be written (below
// HKEY_LOCAL_MACHINE without administrator rights).
bool writeStrings(const Key& key, const QVector<QPair<QString, QString>>& values);

// Where the Unix side keeps a key (empty on Windows).
QString backingFile(const Key& key);

} // namespace Registry
