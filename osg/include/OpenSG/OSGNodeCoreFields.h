#ifndef OSG_NODECOREFIELDS_H
#define OSG_NODECOREFIELDS_H

#include <OpenSG/OSGAttachmentContainerFields.h>
#include <OpenSG/OSGSField.h>

OSG_BEGIN_NAMESPACE

class NodeCore;
typedef FCPtr<AttachmentContainerPtr, NodeCore> NodeCorePtr;
typedef SField<NodeCorePtr> SFNodeCorePtr;

OSG_END_NAMESPACE

#endif
