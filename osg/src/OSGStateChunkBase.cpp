#include <OpenSG/OSGStateChunkBase.h>

OSG_BEGIN_NAMESPACE

FieldContainerType StateChunkBase::_type("StateChunk", "Attachment", nullptr);

OSG_END_NAMESPACE
