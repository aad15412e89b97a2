#pragma once

#include <OpenSG/OSGFieldContainerPtr.h>

OSG_BEGIN_NAMESPACE

class AttachmentContainer;
typedef FCPtr<FieldContainerPtr, AttachmentContainer> AttachmentContainerPtr;

OSG_END_NAMESPACE
