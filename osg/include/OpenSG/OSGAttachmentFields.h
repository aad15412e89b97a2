#ifndef OSG_ATTACHMENTFIELDS_H
#define OSG_ATTACHMENTFIELDS_H

#include <OpenSG/OSGFieldContainerPtr.h>

OSG_BEGIN_NAMESPACE

class Attachment;
typedef FCPtr<FieldContainerPtr, Attachment> AttachmentPtr;

OSG_END_NAMESPACE

#endif
