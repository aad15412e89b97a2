#pragma once

#include <OpenSG/OSGStateChunkFields.h>

OSG_BEGIN_NAMESPACE

class TextureChunk;
typedef FCPtr<StateChunkPtr, TextureChunk> TextureChunkPtr;

OSG_END_NAMESPACE
