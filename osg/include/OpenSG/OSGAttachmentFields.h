#pragma once

#include <OpenSG/OSGFieldContainerPtr.h>

OSG_BEGIN_NAMESPACE

class Attachment;
typedef FCPtr<FieldContainerPtr, Attachment> AttachmentPtr;

OSG_END_NAMESPACE
