#include <OpenSG/OSGFieldContainerType.h>

#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGFieldContainerFactory.h>

OSG_BEGIN_NAMESPACE

FieldContainerType::FieldContainerType(const Char8* name, const Char8* parentName,
                                       PrototypeCreateF createPrototype)
    : _name(name), _parentName(parentName), _id(0), _createPrototype(createPrototype)
{
    _id = FieldContainerFactory::the()->registerType(this);
}

FieldContainerType::~FieldContainerType() { FieldContainerFactory::the()->unregisterType(this); }

const FieldContainerType* FieldContainerType::getParent() const
{
    if (_parentName.empty())
        return nullptr;
    return FieldContainerFactory::the()->findType(_parentName.c_str());
}

bool FieldContainerType::isDerivedFrom(const FieldContainerType& other) const
{
    for (const FieldContainerType* t = this; t != nullptr; t = t->getParent())
        if (t == &other)
            return true;
    return false;
}

FieldContainerPtr FieldContainerType::createFieldContainer() const
{
    if (_prototype == NullFC || _withheld > 0)
        return NullFC;
    return _prototype->shallowCopy();
}

void FieldContainerType::buildPrototype()
{
    if (_createPrototype == nullptr || _prototype != NullFC)
        return;
    _prototype = _createPrototype();
    setContainerPermanent(_prototype, true);
    // The type owns its prototype through one reference.
    addRefCP(_prototype);
}

void FieldContainerType::dropPrototype() { clearRefCP(_prototype); }

void FieldContainerType::withholdPrototype() { ++_withheld; }

void FieldContainerType::releasePrototype()
{
    if (_withheld > 0)
        --_withheld;
}

OSG_END_NAMESPACE
