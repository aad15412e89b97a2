#pragma once

#include <OpenSG/OSGAttachmentFields.h>
#include <OpenSG/OSGMField.h>

OSG_BEGIN_NAMESPACE

class StateChunk;
typedef FCPtr<AttachmentPtr, StateChunk> StateChunkPtr;
typedef MField<StateChunkPtr> MFStateChunkPtr;

OSG_END_NAMESPACE
