#include <OpenSG/OSGTextureChunkBase.h>

#include <OpenSG/OSGTextureChunk.h>

OSG_BEGIN_NAMESPACE

FieldContainerType TextureChunkBase::_type("TextureChunk", "StateChunk",
                                           &TextureChunk::createPrototype);

TextureChunkPtr TextureChunkBase::create()
{
    return TextureChunkPtr::dcast(_type.createFieldContainer());
}

TextureChunkBase::TextureChunkBase(const TextureChunkBase& source)
    : StateChunk(source), _internalFormat(source._internalFormat),
      _externalFormat(source._externalFormat), _scaleImage(source._scaleImage),
      _frame(source._frame), _minFilter(source._minFilter), _magFilter(source._magFilter),
      _wrapS(source._wrapS), _wrapT(source._wrapT), _wrapR(source._wrapR), _envMode(source._envMode)
{
}

OSG_END_NAMESPACE
