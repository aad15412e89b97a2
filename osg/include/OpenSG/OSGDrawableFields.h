#pragma once

#include <OpenSG/OSGNodeCoreFields.h>

OSG_BEGIN_NAMESPACE

class Drawable;
typedef FCPtr<NodeCorePtr, Drawable> DrawablePtr;

OSG_END_NAMESPACE
