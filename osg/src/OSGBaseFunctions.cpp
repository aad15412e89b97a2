#include <OpenSG/OSGBaseFunctions.h>

#include <OpenSG/OSGFieldContainerFactory.h>
#include <OpenSG/OSGFieldContainerType.h>
#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGSimpleGeometry.h>

OSG_BEGIN_NAMESPACE

namespace {
bool initialized = false;
}

bool osgInit(int, char**)
{
    initLog();
    if (initialized)
        return true;
    for (FieldContainerType* type : FieldContainerFactory::the()->getTypes())
        if (type != nullptr)
            type->buildPrototype();
    initialized = true;
    return true;
}

bool osgExit()
{
    if (!initialized)
        return true;
    releaseDefaultMaterials();
    for (FieldContainerType* type : FieldContainerFactory::the()->getTypes())
        if (type != nullptr)
            type->dropPrototype();
    initialized = false;
    return true;
}

bool osgIsInitialized() { return initialized; }

OSG_END_NAMESPACE
