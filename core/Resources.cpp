#include "core/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesImpl()
{
    Q_INIT_RESOURCE(nerixSetupOnline);
    Q_INIT_RESOURCE(language);
}

void initNerixResources()
{
    initResourcesImpl();
}
