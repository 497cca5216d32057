#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// The uninstall registration. On Windows the native registry; elsewhere an INI
// file per key below <GenericConfigLocation>/registry/, values at top level.
namespace Registry {

// Full key path of the uninstall entry for a display name.
QString uninstallKey(const QString& displayName);

// One string value of a key; empty when the key or the value is missing.
QString readString(const QString& keyPath, const QString& name);

// Writes the values in order and flushes them.
void writeStrings(const QString& keyPath, const QVector<QPair<QString, QString>>& values);

// Where the Unix side keeps a key (empty on Windows).
QString backingFile(const QString& keyPath);

} // namespace Registry
