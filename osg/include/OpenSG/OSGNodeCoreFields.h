#pragma once

#include <OpenSG/OSGAttachmentContainerFields.h>
#include <OpenSG/OSGSField.h>

OSG_BEGIN_NAMESPACE

class NodeCore;
typedef FCPtr<AttachmentContainerPtr, NodeCore> NodeCorePtr;
typedef SField<NodeCorePtr> SFNodeCorePtr;

OSG_END_NAMESPACE
