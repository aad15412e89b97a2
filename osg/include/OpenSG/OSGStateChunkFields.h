#ifndef OSG_STATECHUNKFIELDS_H
#define OSG_STATECHUNKFIELDS_H

#include <OpenSG/OSGAttachmentFields.h>
#include <OpenSG/OSGMField.h>

OSG_BEGIN_NAMESPACE

class StateChunk;
typedef FCPtr<AttachmentPtr, StateChunk> StateChunkPtr;
typedef MField<StateChunkPtr> MFStateChunkPtr;

OSG_END_NAMESPACE

#endif
