#pragma once

#include <OpenSG/OSGFieldContainerPtr.h>

#include <vector>

OSG_BEGIN_NAMESPACE

class FieldContainerType;

// Knows every container type by name; creates containers by type name.
class FieldContainerFactory {
public:
    static FieldContainerFactory* the();

    // Null when unknown.
    FieldContainerType* findType(const Char8* name) const;
    FieldContainerType* findType(UInt32 typeId) const;
    UInt32 getNumTypes() const { return UInt32(_types.size()); }
    const std::vector<FieldContainerType*>& getTypes() const { return _types; }

    // A new container of the named type, or NullFC (unknown type, abstract type, no
    // prototype).
    FieldContainerPtr createFieldContainer(const Char8* name) const;

    // Called by the FieldContainerType constructor and destructor; returns the type id.
    UInt32 registerType(FieldContainerType* type);
    void unregisterType(FieldContainerType* type);

private:
    FieldContainerFactory() = default;

    std::vector<FieldContainerType*> _types;
};

OSG_END_NAMESPACE
