#pragma once

#include <OpenSG/OSGFieldContainerPtr.h>

#include <string>

OSG_BEGIN_NAMESPACE

// The run-time description of a container class: its name, its parent class and, for
// concrete classes, the prototype that create() copies. The prototype exists between
// osgInit and osgExit; while it is missing or withheld, create() yields NullFC.
class FieldContainerType {
public:
    typedef FieldContainerPtr (*PrototypeCreateF)();

    // Registers the type with the FieldContainerFactory. parentName is empty for the root;
    // createPrototype is null for abstract classes.
    FieldContainerType(const Char8* name, const Char8* parentName,
                       PrototypeCreateF createPrototype);
    ~FieldContainerType();
    FieldContainerType(const FieldContainerType&) = delete;
    FieldContainerType& operator=(const FieldContainerType&) = delete;

    const std::string& getName() const { return _name; }
    const Char8* getCName() const { return _name.c_str(); }
    UInt32 getId() const { return _id; }
    const FieldContainerType* getParent() const;
    bool isAbstract() const { return _createPrototype == nullptr; }
    bool isDerivedFrom(const FieldContainerType& other) const;

    FieldContainerPtr getPrototype() const { return _prototype; }
    // A shallow copy of the prototype with reference count 0, or NullFC.
    FieldContainerPtr createFieldContainer() const;

    // Prototype life, driven by osgInit/osgExit.
    void buildPrototype();
    void dropPrototype();
    // Withholding (test hook, see OSGPrototypes.h); nests.
    void withholdPrototype();
    void releasePrototype();
    bool isWithheld() const { return _withheld > 0; }

private:
    std::string _name;
    std::string _parentName;
    UInt32 _id;
    PrototypeCreateF _createPrototype;
    FieldContainerPtr _prototype;
    Int32 _withheld = 0;
};

OSG_END_NAMESPACE
