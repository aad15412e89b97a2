#pragma once

#include <OpenSG/OSGAttachmentContainerFields.h>
#include <OpenSG/OSGSField.h>

OSG_BEGIN_NAMESPACE

class Image;
typedef FCPtr<AttachmentContainerPtr, Image> ImagePtr;
typedef SField<ImagePtr> SFImagePtr;

OSG_END_NAMESPACE
