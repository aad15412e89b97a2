#pragma once

#include <OpenSG/OSGAttachmentContainerFields.h>
#include <OpenSG/OSGSField.h>

OSG_BEGIN_NAMESPACE

class Material;
typedef FCPtr<AttachmentContainerPtr, Material> MaterialPtr;
typedef SField<MaterialPtr> SFMaterialPtr;

OSG_END_NAMESPACE
