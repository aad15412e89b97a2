#include <OpenSG/OSGTextureChunk.h>

#include <OpenSG/OSGImage.h>

OSG_BEGIN_NAMESPACE

const StateChunkClass* TextureChunk::getStaticClass()
{
    static const StateChunkClass textureClass("Texture", NumTextureUnits);
    return &textureClass;
}

FieldContainerPtr TextureChunk::createPrototype() { return FieldContainerPtr(new TextureChunk()); }

FieldContainerPtr TextureChunk::shallowCopy() const
{
    return FieldContainerPtr(new TextureChunk(*this));
}

TextureChunk::TextureChunk(const TextureChunk& source) : TextureChunkBase(source) {}

TextureChunk::~TextureChunk() { setImage(NullFC); }

void TextureChunk::setImage(const ImagePtr& image)
{
    ImagePtr old = getImage();
    if (old == image)
        return;
    addRefCP(image);
    if (image != NullFC)
        image->addParent(FieldContainerPtr(this));
    storeImage(image);
    if (old != NullFC) {
        old->subParent(FieldContainerPtr(this));
        subRefCP(old);
    }
}

void TextureChunk::imageContentChanged() { ++_imageRevision; }

void TextureChunk::changed(BitVector whichField, UInt32 origin)
{
    if (whichField & ImageFieldMask)
        imageContentChanged();
    TextureChunkBase::changed(whichField, origin);
}

OSG_END_NAMESPACE
