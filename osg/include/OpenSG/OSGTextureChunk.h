#pragma once

#include <OpenSG/OSGTextureChunkBase.h>

OSG_BEGIN_NAMESPACE

// A texture as render state. A State has 16 texture slots (one per unit).
class TextureChunk : public TextureChunkBase {
public:
    static constexpr UInt32 NumTextureUnits = 16;

    static const StateChunkClass* getStaticClass();
    const StateChunkClass* getClass() const override { return getStaticClass(); }

    // +1 on the new image, -1 on the old one; the chunk is registered as a parent of the new
    // image and removed from the old one's parents.
    void setImage(const ImagePtr& image);

    // Called by the image when its content changed (endEditCP on the image); the texture
    // will be reloaded. Counts the calls.
    void imageContentChanged();
    // How often the image announced a change since the chunk was made.
    UInt32 getImageRevision() const { return _imageRevision; }

    // A changed image field also counts as an image change.
    void changed(BitVector whichField, UInt32 origin) override;
    FieldContainerPtr shallowCopy() const override;

protected:
    friend class TextureChunkBase;
    TextureChunk() = default;
    TextureChunk(const TextureChunk& source);
    // Releases the image.
    ~TextureChunk() override;

private:
    static FieldContainerPtr createPrototype();

    UInt32 _imageRevision = 0;
};

OSG_END_NAMESPACE
