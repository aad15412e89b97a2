#include <OpenSG/OSGLock.h>

OSG_BEGIN_NAMESPACE

Lock::Lock(const Char8* name) : _name(name != nullptr ? name : "") {}

void Lock::aquire() { _mutex.lock(); }

void Lock::release() { _mutex.unlock(); }

bool Lock::request() { return _mutex.try_lock(); }

OSG_END_NAMESPACE
