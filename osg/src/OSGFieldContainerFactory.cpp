#include <OpenSG/OSGFieldContainerFactory.h>

#include <OpenSG/OSGFieldContainerType.h>

#include <algorithm>
#include <cstring>

OSG_BEGIN_NAMESPACE

FieldContainerFactory* FieldContainerFactory::the()
{
    // Function-local so that type objects of any translation unit can register during
    // static initialisation.
    static FieldContainerFactory factory;
    return &factory;
}

FieldContainerType* FieldContainerFactory::findType(const Char8* name) const
{
    if (name == nullptr)
        return nullptr;
    for (FieldContainerType* type : _types)
        if (type != nullptr && std::strcmp(type->getCName(), name) == 0)
            return type;
    return nullptr;
}

FieldContainerType* FieldContainerFactory::findType(UInt32 typeId) const
{
    if (typeId == 0 || typeId > _types.size())
        return nullptr;
    return _types[typeId - 1];
}

FieldContainerPtr FieldContainerFactory::createFieldContainer(const Char8* name) const
{
    FieldContainerType* type = findType(name);
    return type != nullptr ? type->createFieldContainer() : FieldContainerPtr();
}

UInt32 FieldContainerFactory::registerType(FieldContainerType* type)
{
    _types.push_back(type);
    return UInt32(_types.size());
}

void FieldContainerFactory::unregisterType(FieldContainerType* type)
{
    // Keep the slot so that ids stay stable; only forget the pointer.
    std::replace(_types.begin(), _types.end(), type, static_cast<FieldContainerType*>(nullptr));
}

OSG_END_NAMESPACE
