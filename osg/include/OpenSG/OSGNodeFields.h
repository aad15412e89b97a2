#pragma once

#include <OpenSG/OSGAttachmentContainerFields.h>
#include <OpenSG/OSGMField.h>
#include <OpenSG/OSGSField.h>

OSG_BEGIN_NAMESPACE

class Node;
typedef FCPtr<AttachmentContainerPtr, Node> NodePtr;
typedef SField<NodePtr> SFNodePtr;
typedef MField<NodePtr> MFNodePtr;

OSG_END_NAMESPACE
