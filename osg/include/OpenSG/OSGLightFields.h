#pragma once

#include <OpenSG/OSGGroupFields.h>

OSG_BEGIN_NAMESPACE

class Light;
typedef FCPtr<GroupPtr, Light> LightPtr;

OSG_END_NAMESPACE
