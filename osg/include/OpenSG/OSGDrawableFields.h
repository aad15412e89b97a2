#ifndef OSG_DRAWABLEFIELDS_H
#define OSG_DRAWABLEFIELDS_H

#include <OpenSG/OSGNodeCoreFields.h>

OSG_BEGIN_NAMESPACE

class Drawable;
typedef FCPtr<NodeCorePtr, Drawable> DrawablePtr;

OSG_END_NAMESPACE

#endif
