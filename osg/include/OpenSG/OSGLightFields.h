#ifndef OSG_LIGHTFIELDS_H
#define OSG_LIGHTFIELDS_H

#include <OpenSG/OSGGroupFields.h>

OSG_BEGIN_NAMESPACE

class Light;
typedef FCPtr<GroupPtr, Light> LightPtr;

OSG_END_NAMESPACE

#endif
