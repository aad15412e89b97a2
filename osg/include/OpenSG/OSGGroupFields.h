#ifndef OSG_GROUPFIELDS_H
#define OSG_GROUPFIELDS_H

#include <OpenSG/OSGNodeCoreFields.h>

OSG_BEGIN_NAMESPACE

class Group;
typedef FCPtr<NodeCorePtr, Group> GroupPtr;

OSG_END_NAMESPACE

#endif
