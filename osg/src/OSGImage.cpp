#include <OpenSG/OSGImage.h>

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGTextureChunk.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#endif

OSG_BEGIN_NAMESPACE

namespace {
// Largest pixel store set() allocates: 2 GiB. Larger requests are refused, not attempted.
constexpr UInt64 maxStoreBytes = UInt64(1) << 31;

UInt64 levelBytes(UInt32 pixelFormat, Int32 width, Int32 height, Int32 depth, UInt32 bpp)
{
    switch (pixelFormat) {
    case Image::OSG_RGB_DXT1:
    case Image::OSG_RGBA_DXT1:
        return UInt64((width + 3) / 4) * UInt64((height + 3) / 4) * UInt64(depth) * 8;
    case Image::OSG_RGBA_DXT3:
    case Image::OSG_RGBA_DXT5:
        return UInt64((width + 3) / 4) * UInt64((height + 3) / 4) * UInt64(depth) * 16;
    default:
        return UInt64(width) * UInt64(height) * UInt64(depth) * UInt64(bpp);
    }
}
} // namespace

FieldContainerPtr Image::createPrototype() { return FieldContainerPtr(new Image()); }

FieldContainerPtr Image::shallowCopy() const { return FieldContainerPtr(new Image(*this)); }

UInt32 Image::getComponentCount(UInt32 pixelFormat)
{
    switch (pixelFormat) {
    case OSG_A_PF:
    case OSG_I_PF:
    case OSG_L_PF:
    case OSG_ALPHA_INTEGER_PF:
    case OSG_LUMINANCE_INTEGER_PF:
        return 1;
    case OSG_LA_PF:
    case OSG_LUMINANCE_ALPHA_INTEGER_PF:
        return 2;
    case OSG_RGB_PF:
    case OSG_BGR_PF:
    case OSG_RGB_DXT1:
    case OSG_RGB_INTEGER_PF:
    case OSG_BGR_INTEGER_PF:
        return 3;
    case OSG_RGBA_PF:
    case OSG_BGRA_PF:
    case OSG_RGBA_DXT1:
    case OSG_RGBA_DXT3:
    case OSG_RGBA_DXT5:
    case OSG_RGBA_INTEGER_PF:
    case OSG_BGRA_INTEGER_PF:
        return 4;
    default:
        return 0;
    }
}

Int32 Image::getTypeSize(Int32 dataType)
{
    switch (dataType) {
    case OSG_UINT8_IMAGEDATA:
        return 1;
    case OSG_UINT16_IMAGEDATA:
    case OSG_FLOAT16_IMAGEDATA:
    case OSG_INT16_IMAGEDATA:
        return 2;
    case OSG_UINT32_IMAGEDATA:
    case OSG_FLOAT32_IMAGEDATA:
    case OSG_INT32_IMAGEDATA:
        return 4;
    default:
        return 0;
    }
}

bool Image::isCompressedFormat(UInt32 pixelFormat)
{
    return pixelFormat == OSG_RGB_DXT1 || pixelFormat == OSG_RGBA_DXT1 ||
           pixelFormat == OSG_RGBA_DXT3 || pixelFormat == OSG_RGBA_DXT5;
}

namespace {

// Stores from this size on are asked for huge pages: filling a fresh store costs one page
// fault per page, and with 4 KiB pages that is most of a large image's load time.
constexpr std::size_t hugePageStoreBytes = std::size_t(32) << 20;
constexpr std::uintptr_t hugePageBytes = std::uintptr_t(2) << 20;
constexpr std::uintptr_t pageBytes = 4096;

// Gives `store` room for `bytes` without touching it, then (on Linux) asks for huge pages over
// the whole 2 MiB pages inside it; a refusal only costs speed.
#if defined(__linux__) && defined(MADV_HUGEPAGE)
// Asks for huge pages over the whole 2 MiB pages inside [data, data + bytes).
void adviseHugePages(const void* data, std::size_t bytes)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + hugePageBytes - 1) & ~(hugePageBytes - 1);
    const std::uintptr_t last = (begin + bytes) & ~(hugePageBytes - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}
#endif

#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
// The kernel clears every page of a new store on its first write, about as long as the decode
// that follows. A second thread takes the upper half of that work; where the kernel cannot
// populate ahead (older than Linux 5.14) the pages are cleared as they are filled.
void populateInHalves(const void* data, std::size_t bytes)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t middle = (begin + bytes / 2) & ~(hugePageBytes - 1);
    const std::uintptr_t end = (begin + bytes) & ~(pageBytes - 1);
    if (middle <= begin || end <= middle)
        return;
    auto populate = [](std::uintptr_t from, std::uintptr_t to) {
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    };
    try {
        std::thread upper(populate, middle, end);
        populate(begin & ~(pageBytes - 1), middle);
        upper.join();
    } catch (const std::system_error&) {
        // No thread to be had: the pages are cleared as they are filled.
    }
}
#endif

template <class Store> void reserveStore(Store& store, std::size_t bytes)
{
    if (bytes < hugePageStoreBytes || store.capacity() >= bytes)
        return;
    Store().swap(store);
    store.reserve(bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    adviseHugePages(store.data(), bytes);
#endif
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    populateInHalves(store.data(), bytes);
#endif
}

} // namespace

bool Image::set(UInt32 pixelFormat, Int32 width, Int32 height, Int32 depth, Int32 mipmapCount,
                Int32 frameCount, Time frameDelay, const UInt8* data, Int32 type, bool allocMem,
                Int32 sideCount)
{
    const UInt32 components = getComponentCount(pixelFormat);
    const Int32 typeSize = getTypeSize(type);
    if (components == 0 || typeSize == 0) {
        SWARNING << "Image::set: unknown pixel format 0x" << std::hex << pixelFormat
                 << " or data type 0x" << type << std::dec << std::endl;
        clearData();
        return false;
    }

    _pixelFormat = pixelFormat;
    _dataType = type;
    _componentSize = typeSize;
    _bpp = UInt8(components * UInt32(typeSize));
    _width = osgMax(width, Int32(1));
    _height = osgMax(height, Int32(1));
    _depth = osgMax(depth, Int32(1));
    _mipMapCount = osgMax(mipmapCount, Int32(1));
    _frameCount = osgMax(frameCount, Int32(1));
    _sideCount = osgMax(sideCount, Int32(1));
    _frameDelay = frameDelay;
    _dimension = (_depth > 1) ? 3 : (_height > 1) ? 2 : 1;

    // Sizes in 64 bits; each factor is below 2^31, so a product of two never overflows and
    // the store limit is checked before the next multiplication.
    UInt64 frameSize = 0;
    for (Int32 level = 0; level < _mipMapCount; ++level) {
        frameSize += calcMipmapLevelSize(UInt32(level));
        if (frameSize > maxStoreBytes)
            break;
    }
    UInt64 sideSize = frameSize <= maxStoreBytes ? frameSize * UInt64(_frameCount) : frameSize;
    UInt64 total = sideSize <= maxStoreBytes ? sideSize * UInt64(_sideCount) : sideSize;
    if (total > maxStoreBytes) {
        SWARNING << "Image::set: " << _width << "x" << _height << "x" << _depth << " image with "
                 << _mipMapCount << " levels, " << _frameCount << " frames and " << _sideCount
                 << " sides needs more than " << maxStoreBytes << " bytes; refused" << std::endl;
        clearData();
        _frameSize = 0;
        _sideSize = 0;
        return false;
    }
    _frameSize = frameSize;
    _sideSize = sideSize;

    _pixel.clear();
    if (allocMem || data != nullptr) {
        reserveStore(_pixel.getValues(), std::size_t(total));
        _pixel.getValues().resize(std::size_t(total), 0);
        if (data != nullptr && total > 0)
            std::memcpy(_pixel.getValues().data(), data, std::size_t(total));
    }
    return !_pixel.empty();
}

bool Image::set(const ImagePtr& image)
{
    if (image == NullFC)
        return false;
    const Image& src = *image;
    return set(src.getPixelFormat(), src.getWidth(), src.getHeight(), src.getDepth(),
               src.getMipMapCount(), src.getFrameCount(), src.getFrameDelay(),
               src.isValid() ? src.getData() : nullptr, src.getDataType(), src.isValid(),
               src.getSideCount());
}

void Image::clearData() { _pixel.clear(); }

UInt64 Image::calcMipmapLevelSize(UInt32 mipmapNum) const
{
    Int32 w, h, d;
    calcMipmapGeometry(mipmapNum, w, h, d);
    return levelBytes(_pixelFormat, w, h, d, _bpp);
}

void Image::calcMipmapGeometry(UInt32 mipmapNum, Int32& width, Int32& height, Int32& depth) const
{
    const UInt32 shift = mipmapNum < 31 ? mipmapNum : 31;
    width = osgMax(_width >> shift, Int32(1));
    height = osgMax(_height >> shift, Int32(1));
    depth = osgMax(_depth >> shift, Int32(1));
}

UInt64 Image::getSize(bool withMipmap, bool withFrames, bool withSides) const
{
    if (_pixel.empty())
        return 0;
    UInt64 size = withMipmap ? _frameSize : calcMipmapLevelSize(0);
    if (withFrames)
        size *= UInt64(_frameCount);
    if (withSides)
        size *= UInt64(_sideCount);
    return size;
}

const UInt8* Image::getData(UInt32 mipmapNum, UInt32 frameNum, UInt32 sideId) const
{
    if (_pixel.empty() || mipmapNum >= UInt32(_mipMapCount) || frameNum >= UInt32(_frameCount) ||
        sideId >= UInt32(_sideCount))
        return nullptr;
    UInt64 offset = UInt64(sideId) * _sideSize + UInt64(frameNum) * _frameSize;
    for (UInt32 level = 0; level < mipmapNum; ++level)
        offset += calcMipmapLevelSize(level);
    return _pixel.getValues().data() + offset;
}

UInt8* Image::getData(UInt32 mipmapNum, UInt32 frameNum, UInt32 sideId)
{
    return const_cast<UInt8*>(
        static_cast<const Image*>(this)->getData(mipmapNum, frameNum, sideId));
}

bool Image::hasAlphaChannel() const
{
    switch (_pixelFormat) {
    case OSG_A_PF:
    case OSG_I_PF:
    case OSG_LA_PF:
    case OSG_RGBA_PF:
    case OSG_BGRA_PF:
    case OSG_RGBA_DXT1:
    case OSG_RGBA_DXT3:
    case OSG_RGBA_DXT5:
    case OSG_ALPHA_INTEGER_PF:
    case OSG_RGBA_INTEGER_PF:
    case OSG_BGRA_INTEGER_PF:
    case OSG_LUMINANCE_ALPHA_INTEGER_PF:
        return true;
    default:
        return false;
    }
}

void Image::changed(BitVector whichField, UInt32 origin)
{
    for (const FieldContainerPtr& parent : _parents) {
        TextureChunkPtr chunk = TextureChunkPtr::dcast(parent);
        if (chunk != NullFC)
            chunk->imageContentChanged();
    }
    ImageBase::changed(whichField, origin);
}

void Image::addParent(const FieldContainerPtr& parent)
{
    if (parent != NullFC)
        _parents.push_back(parent);
}

void Image::subParent(const FieldContainerPtr& parent)
{
    MField<FieldContainerPtr>::iterator it = _parents.find(parent);
    if (it != _parents.end())
        _parents.erase(it);
}

OSG_END_NAMESPACE
