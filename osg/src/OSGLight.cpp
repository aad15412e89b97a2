#include <OpenSG/OSGLight.h>

OSG_BEGIN_NAMESPACE

void Light::setBeacon(const NodePtr& beacon) { setRefdCP(LightBase::getBeacon(), beacon); }

Light::~Light() { clearRefCP(LightBase::getBeacon()); }

OSG_END_NAMESPACE
