#pragma once

#include <QGenericPlugin>

// A generic Qt plugin (key "nerixshownprobe") that watches for the first
// paint of a widget, lets that paint pass finish, writes "shown" to the file
// named by NERIX_SHOWN_MARK and ends the process at once.
class ShownProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "ShownProbe.json")

public:
    QObject* create(const QString& key, const QString& parameters) override;
};
