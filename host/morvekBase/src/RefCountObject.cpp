#include <morvekBase/RefCountObject.h>

#include <morvekBase/HostLog.h>

namespace Morvek {

// A copy is a new object: nobody holds it yet.
RefCountObject::RefCountObject(const RefCountObject& other) : BaseObject(other) {}

RefCountObject& RefCountObject::operator=(const RefCountObject& other)
{
    BaseObject::operator=(other);
    return *this;
}

RefCountObject::~RefCountObject() = default;

void RefCountObject::shutdown() {}

void RefCountObject::addRef() { ++_refCount; }

void RefCountObject::subRef()
{
    if (_refCount <= 0) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekBase/RefCountObject",
                        "subRef on an object that holds no reference; ignored\n");
        return;
    }
    if (--_refCount > 0 || _dying)
        return;
    _dying = true;
    shutdown();
    delete this;
}

} // namespace Morvek
