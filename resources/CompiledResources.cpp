#include "resources/CompiledResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
void InitializeCompiledResources()
{
    Q_INIT_RESOURCE(velumina);
}
