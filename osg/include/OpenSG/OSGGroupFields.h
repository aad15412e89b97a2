#pragma once

#include <OpenSG/OSGNodeCoreFields.h>

OSG_BEGIN_NAMESPACE

class Group;
typedef FCPtr<NodeCorePtr, Group> GroupPtr;

OSG_END_NAMESPACE
