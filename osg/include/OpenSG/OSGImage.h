#pragma once

#include <OpenSG/OSGImageBase.h>

OSG_BEGIN_NAMESPACE

// Pixel data: sides of frames of mipmap levels, each level tightly packed (w * h * d * bpp
// bytes, row after row, components of a pixel adjacent, no row padding; DXT formats as 4x4
// blocks, 8 bytes per block for DXT1 and 16 for DXT3/5). Rows follow the OpenGL convention:
// data row 0 is the bottom row of the picture.
class Image : public ImageBase {
public:
    // GL enumerants; components per pixel in brackets.
    enum PixelFormat : UInt32 {
        OSG_INVALID_PF = 0,
        OSG_A_PF = 0x1906,                      // [1] GL_ALPHA
        OSG_I_PF = 0x8049,                      // [1] GL_INTENSITY
        OSG_L_PF = 0x1909,                      // [1] GL_LUMINANCE
        OSG_LA_PF = 0x190A,                     // [2] GL_LUMINANCE_ALPHA
        OSG_RGB_PF = 0x1907,                    // [3] GL_RGB
        OSG_RGBA_PF = 0x1908,                   // [4] GL_RGBA
        OSG_BGR_PF = 0x80E0,                    // [3] GL_BGR
        OSG_BGRA_PF = 0x80E1,                   // [4] GL_BGRA
        OSG_RGB_DXT1 = 0x83F0,                  // [3] GL_COMPRESSED_RGB_S3TC_DXT1_EXT
        OSG_RGBA_DXT1 = 0x83F1,                 // [4] GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
        OSG_RGBA_DXT3 = 0x83F2,                 // [4] GL_COMPRESSED_RGBA_S3TC_DXT3_EXT
        OSG_RGBA_DXT5 = 0x83F3,                 // [4] GL_COMPRESSED_RGBA_S3TC_DXT5_EXT
        OSG_ALPHA_INTEGER_PF = 0x8D97,          // [1]
        OSG_RGB_INTEGER_PF = 0x8D98,            // [3]
        OSG_RGBA_INTEGER_PF = 0x8D99,           // [4]
        OSG_BGR_INTEGER_PF = 0x8D9A,            // [3]
        OSG_BGRA_INTEGER_PF = 0x8D9B,           // [4]
        OSG_LUMINANCE_INTEGER_PF = 0x8D9C,      // [1]
        OSG_LUMINANCE_ALPHA_INTEGER_PF = 0x8D9D // [2]
    };

    // GL enumerants; bytes per component in brackets.
    enum Type : Int32 {
        OSG_INVALID_IMAGEDATATYPE = 0,
        OSG_UINT8_IMAGEDATA = 0x1401,   // [1] GL_UNSIGNED_BYTE
        OSG_UINT16_IMAGEDATA = 0x1403,  // [2] GL_UNSIGNED_SHORT
        OSG_UINT32_IMAGEDATA = 0x1405,  // [4] GL_UNSIGNED_INT
        OSG_FLOAT16_IMAGEDATA = 0x140B, // [2] GL_HALF_FLOAT_NV
        OSG_FLOAT32_IMAGEDATA = 0x1406, // [4] GL_FLOAT
        OSG_INT16_IMAGEDATA = 0x1402,   // [2] GL_SHORT
        OSG_INT32_IMAGEDATA = 0x1404    // [4] GL_INT
    };

    // Components per pixel as the image counts them; 0 for an unknown format.
    static UInt32 getComponentCount(UInt32 pixelFormat);
    // Bytes per component; 0 for an unknown type.
    static Int32 getTypeSize(Int32 dataType);
    static bool isCompressedFormat(UInt32 pixelFormat);

    // Sets format and sizes (each clamped to at least 1), computes bpp as components x
    // component size, allocates the store (zero-filled) when allocMem is true or data is
    // given, and copies `data` (getSize() bytes) when given. Returns true when pixel data
    // exists afterwards. An unknown format or type, or a store too large to address, gives
    // a warning, an empty image and false. A changed() follows only with endEditCP.
    bool set(UInt32 pixelFormat, Int32 width, Int32 height = 1, Int32 depth = 1,
             Int32 mipmapCount = 1, Int32 frameCount = 1, Time frameDelay = 0.0,
             const UInt8* data = nullptr, Int32 type = OSG_UINT8_IMAGEDATA, bool allocMem = true,
             Int32 sideCount = 1);
    // Copies format, sizes and data of another image; false for NullFC.
    bool set(const ImagePtr& image);
    // Drops the pixel data; sizes stay.
    void clearData();

    // Start of that mipmap level of that frame of that side; null when there is no data or
    // the numbers are out of range.
    UInt8* getData(UInt32 mipmapNum = 0, UInt32 frameNum = 0, UInt32 sideId = 0);
    const UInt8* getData(UInt32 mipmapNum = 0, UInt32 frameNum = 0, UInt32 sideId = 0) const;
    UInt8* editData(UInt32 mipmapNum = 0, UInt32 frameNum = 0, UInt32 sideId = 0)
    {
        return getData(mipmapNum, frameNum, sideId);
    }

    // Bytes of the pixel store, or of a part of it: all levels, frames and sides by
    // default; only level 0 without mipmaps, one frame without frames, one side without
    // sides.
    UInt64 getSize(bool withMipmap = true, bool withFrames = true, bool withSides = true) const;
    // Bytes of one mipmap level of one frame of one side.
    UInt64 calcMipmapLevelSize(UInt32 mipmapNum) const;
    // Size of a mipmap level: each dimension halved per level, at least 1.
    void calcMipmapGeometry(UInt32 mipmapNum, Int32& width, Int32& height, Int32& depth) const;

    UInt32 getComponents() const { return getComponentCount(getPixelFormat()); }
    bool hasAlphaChannel() const;
    bool hasCompressedData() const { return isCompressedFormat(getPixelFormat()); }
    bool isValid() const { return !_pixel.empty(); }

    // Notifies the parents (texture chunks) that the content changed.
    void changed(BitVector whichField, UInt32 origin) override;
    FieldContainerPtr shallowCopy() const override;

    // Parent bookkeeping, called by TextureChunk::setImage. No references involved.
    void addParent(const FieldContainerPtr& parent);
    void subParent(const FieldContainerPtr& parent);

protected:
    friend class ImageBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(Image)

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
