#include <OpenSG/OSGPrototypes.h>

#include <OpenSG/OSGFieldContainerFactory.h>
#include <OpenSG/OSGFieldContainerType.h>
#include <OpenSG/OSGLog.h>

OSG_BEGIN_NAMESPACE

ScopedWithheldPrototype::ScopedWithheldPrototype(const char* typeName)
    : _type(FieldContainerFactory::the()->findType(typeName))
{
    if (_type == nullptr) {
        FWARNING(("ScopedWithheldPrototype: unknown container type '%s'\n",
                  typeName != nullptr ? typeName : ""));
        return;
    }
    _type->withholdPrototype();
}

ScopedWithheldPrototype::~ScopedWithheldPrototype()
{
    if (_type != nullptr)
        _type->releasePrototype();
}

OSG_END_NAMESPACE
