#pragma once

#include <OpenSG/OSGGL.h>
#include <OpenSG/OSGImageFields.h>
#include <OpenSG/OSGStateChunk.h>
#include <OpenSG/OSGTextureChunkFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of TextureChunk: the image and how it is sampled.
class TextureChunkBase : public StateChunk {
    typedef StateChunk Inherited;

public:
    static constexpr UInt32 ImageFieldId = Inherited::NextFieldId;
    static constexpr BitVector ImageFieldMask = maskOf(ImageFieldId);
    static constexpr UInt32 InternalFormatFieldId = ImageFieldId + 1;
    static constexpr BitVector InternalFormatFieldMask = maskOf(InternalFormatFieldId);
    static constexpr UInt32 ExternalFormatFieldId = InternalFormatFieldId + 1;
    static constexpr BitVector ExternalFormatFieldMask = maskOf(ExternalFormatFieldId);
    static constexpr UInt32 ScaleImageFieldId = ExternalFormatFieldId + 1;
    static constexpr BitVector ScaleImageFieldMask = maskOf(ScaleImageFieldId);
    static constexpr UInt32 FrameFieldId = ScaleImageFieldId + 1;
    static constexpr BitVector FrameFieldMask = maskOf(FrameFieldId);
    static constexpr UInt32 MinFilterFieldId = FrameFieldId + 1;
    static constexpr BitVector MinFilterFieldMask = maskOf(MinFilterFieldId);
    static constexpr UInt32 MagFilterFieldId = MinFilterFieldId + 1;
    static constexpr BitVector MagFilterFieldMask = maskOf(MagFilterFieldId);
    static constexpr UInt32 WrapSFieldId = MagFilterFieldId + 1;
    static constexpr BitVector WrapSFieldMask = maskOf(WrapSFieldId);
    static constexpr UInt32 WrapTFieldId = WrapSFieldId + 1;
    static constexpr BitVector WrapTFieldMask = maskOf(WrapTFieldId);
    static constexpr UInt32 WrapRFieldId = WrapTFieldId + 1;
    static constexpr BitVector WrapRFieldMask = maskOf(WrapRFieldId);
    static constexpr UInt32 EnvModeFieldId = WrapRFieldId + 1;
    static constexpr BitVector EnvModeFieldMask = maskOf(EnvModeFieldId);
    static constexpr UInt32 NextFieldId = EnvModeFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new texture chunk without image (count 0), or NullFC before osgInit.
    static TextureChunkPtr create();

    // The texture image; default NullFC. Set it with TextureChunk::setImage (counted).
    ImagePtr& getImage() { return _image; }
    const ImagePtr& getImage() const { return _image; }
    // GL internal format, 0 (default) = chosen from the image.
    GLenum& getInternalFormat() { return _internalFormat; }
    const GLenum& getInternalFormat() const { return _internalFormat; }
    void setInternalFormat(const GLenum& value) { _internalFormat = value; }
    // GL external format, 0 (default) = the image's pixel format.
    GLenum& getExternalFormat() { return _externalFormat; }
    const GLenum& getExternalFormat() const { return _externalFormat; }
    void setExternalFormat(const GLenum& value) { _externalFormat = value; }
    // Scale non-power-of-two images; default true.
    bool& getScaleImage() { return _scaleImage; }
    const bool& getScaleImage() const { return _scaleImage; }
    void setScaleImage(const bool& value) { _scaleImage = value; }
    // Frame of an animated image; default 0.
    UInt32& getFrame() { return _frame; }
    const UInt32& getFrame() const { return _frame; }
    void setFrame(const UInt32& value) { _frame = value; }
    // Defaults GL_LINEAR_MIPMAP_LINEAR and GL_LINEAR.
    GLenum& getMinFilter() { return _minFilter; }
    const GLenum& getMinFilter() const { return _minFilter; }
    void setMinFilter(const GLenum& value) { _minFilter = value; }
    GLenum& getMagFilter() { return _magFilter; }
    const GLenum& getMagFilter() const { return _magFilter; }
    void setMagFilter(const GLenum& value) { _magFilter = value; }
    // Defaults GL_REPEAT.
    GLenum& getWrapS() { return _wrapS; }
    const GLenum& getWrapS() const { return _wrapS; }
    void setWrapS(const GLenum& value) { _wrapS = value; }
    GLenum& getWrapT() { return _wrapT; }
    const GLenum& getWrapT() const { return _wrapT; }
    void setWrapT(const GLenum& value) { _wrapT = value; }
    GLenum& getWrapR() { return _wrapR; }
    const GLenum& getWrapR() const { return _wrapR; }
    void setWrapR(const GLenum& value) { _wrapR = value; }
    // Texture environment; default GL_MODULATE.
    GLenum& getEnvMode() { return _envMode; }
    const GLenum& getEnvMode() const { return _envMode; }
    void setEnvMode(const GLenum& value) { _envMode = value; }

protected:
    TextureChunkBase() = default;
    // Does not copy the image, which a copy would not reference.
    TextureChunkBase(const TextureChunkBase& source);
    ~TextureChunkBase() override = default;

    void storeImage(const ImagePtr& image) { _image = image; }

private:
    static FieldContainerType _type;

    ImagePtr _image;
    GLenum _internalFormat = 0;
    GLenum _externalFormat = 0;
    bool _scaleImage = true;
    UInt32 _frame = 0;
    GLenum _minFilter = GL_LINEAR_MIPMAP_LINEAR;
    GLenum _magFilter = GL_LINEAR;
    GLenum _wrapS = GL_REPEAT;
    GLenum _wrapT = GL_REPEAT;
    GLenum _wrapR = GL_REPEAT;
    GLenum _envMode = GL_MODULATE;
};

OSG_END_NAMESPACE
