#include <morvekSampling/PixelDecoder.h>

#include <morvekSampling/S3tcDecoder.h>

#include <array>
#include <cstring>

namespace Morvek {

namespace {

// Byte to float as the division byte / 255 in single precision, looked up.
const float* byteToFloat()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = float(i) / 255.0f;
        return t;
    }();
    return table.data();
}

struct FloatComponent {
    static constexpr std::size_t bytes = 4;
    float read(const std::uint8_t* p) const
    {
        float f;
        std::memcpy(&f, p, sizeof f);
        return f;
    }
};

// IEEE 754 binary16 to single precision, exact for every bit pattern: subnormals scale
// exactly, infinities stay infinite, NaNs keep their payload shifted into place.
float halfToFloat(std::uint16_t h)
{
    const std::uint32_t sign = std::uint32_t(h & 0x8000u) << 16;
    const std::uint32_t exponent = (h >> 10) & 0x1Fu;
    const std::uint32_t mantissa = h & 0x3FFu;
    std::uint32_t bits;
    if (exponent == 0x1F)
        bits = sign | 0x7F800000u | mantissa << 13;
    else if (exponent != 0)
        bits = sign | (exponent + (127 - 15)) << 23 | mantissa << 13;
    else {
        // Zero or subnormal: mantissa * 2^-24 is exact in single precision.
        const float magnitude = float(mantissa) * 5.9604644775390625e-8f;
        std::memcpy(&bits, &magnitude, sizeof bits);
        bits |= sign;
    }
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

struct HalfComponent {
    static constexpr std::size_t bytes = 2;
    float read(const std::uint8_t* p) const
    {
        std::uint16_t bits;
        std::memcpy(&bits, p, sizeof bits);
        return halfToFloat(bits);
    }
};

struct ByteComponent {
    static constexpr std::size_t bytes = 1;
    const float* table = byteToFloat();
    float read(const std::uint8_t* p) const { return table[*p]; }
};

// Components per pixel N; the component offsets of red, green and blue (all 0 for grey).
template <class Component, int N, int Red, int Green, int Blue>
void decodeUncompressed(const EnvironmentImage& image, int y, int x0, int count, float* rgbe)
{
    constexpr std::size_t stride = N * Component::bytes;
    const Component component{};
    const std::uint8_t* p =
        image.data + (std::size_t(image.width) * std::size_t(y) + std::size_t(x0)) * stride;
    for (int k = 0; k < count; ++k, p += stride, rgbe += 4) {
        const float r = component.read(p + Red * Component::bytes);
        const float g = component.read(p + Green * Component::bytes);
        const float b = component.read(p + Blue * Component::bytes);
        rgbe[0] = r;
        rgbe[1] = g;
        rgbe[2] = b;
        rgbe[3] = PixelDecoder::energy(r, g, b);
    }
}

template <class Component>
void decodeByFormat(const EnvironmentImage& image, int y, int x0, int count, float* rgbe)
{
    switch (image.pixelFormat) {
    case PixelDecoder::luminanceFormat:
    case PixelDecoder::intensityFormat:
        return decodeUncompressed<Component, 1, 0, 0, 0>(image, y, x0, count, rgbe);
    case PixelDecoder::luminanceAlphaFormat:
        return decodeUncompressed<Component, 2, 0, 0, 0>(image, y, x0, count, rgbe);
    case PixelDecoder::rgbFormat:
        return decodeUncompressed<Component, 3, 0, 1, 2>(image, y, x0, count, rgbe);
    case PixelDecoder::bgrFormat:
        return decodeUncompressed<Component, 3, 2, 1, 0>(image, y, x0, count, rgbe);
    case PixelDecoder::rgbaFormat:
        return decodeUncompressed<Component, 4, 0, 1, 2>(image, y, x0, count, rgbe);
    default:
        return;
    }
}

void decodeBlocks(const EnvironmentImage& image, std::size_t blockBytes, int y, int x0, int count,
                  float* rgbe)
{
    const std::size_t blocksPerRow = (std::size_t(image.width) + 3) / 4;
    const std::uint8_t* blockRow = image.data + std::size_t(y / 4) * blocksPerRow * blockBytes;
    const int texelRow = y % 4;
    const float* toFloat = byteToFloat();

    std::uint8_t texels[16][3];
    int decodedBlock = -1;
    for (int x = x0; x < x0 + count; ++x, rgbe += 4) {
        if (x / 4 != decodedBlock) {
            decodedBlock = x / 4;
            S3tcDecoder::decodeBlock(image.pixelFormat,
                                     blockRow + std::size_t(decodedBlock) * blockBytes, texels);
        }
        const std::uint8_t* texel = texels[4 * texelRow + x % 4];
        const float r = toFloat[texel[0]];
        const float g = toFloat[texel[1]];
        const float b = toFloat[texel[2]];
        rgbe[0] = r;
        rgbe[1] = g;
        rgbe[2] = b;
        rgbe[3] = PixelDecoder::energy(r, g, b);
    }
}

} // namespace

std::uint64_t PixelDecoder::numChannels(std::uint32_t pixelFormat)
{
    switch (pixelFormat) {
    case luminanceFormat:
    case intensityFormat:
        return 1;
    case luminanceAlphaFormat:
        return 2;
    case rgbFormat:
    case bgrFormat:
    case rgbDxt1Format:
        return 3;
    case rgbaFormat:
    case rgbaDxt1Format:
    case rgbaDxt3Format:
    case rgbaDxt5Format:
        return 4;
    default:
        return 0;
    }
}

bool PixelDecoder::isBlockCompressed(std::uint32_t pixelFormat)
{
    return S3tcDecoder::blockBytes(pixelFormat) != 0;
}

std::size_t PixelDecoder::componentBytes(std::int32_t dataType)
{
    switch (dataType) {
    case unsignedByteType:
        return 1;
    case halfFloatType:
        return 2;
    case floatType:
        return 4;
    default:
        return 0;
    }
}

PixelDecoder::Layout PixelDecoder::describe(const EnvironmentImage& image)
{
    Layout layout;
    layout.channels = numChannels(image.pixelFormat);
    layout.blockBytes = S3tcDecoder::blockBytes(image.pixelFormat);
    // Blocks are bytes by definition: their data type is not consulted.
    layout.componentBytes = layout.blockBytes != 0 ? 0 : componentBytes(image.dataType);
    if (image.width >= 0 && image.height >= 0) {
        const std::uint64_t w = std::uint64_t(image.width);
        const std::uint64_t h = std::uint64_t(image.height);
        layout.requiredBytes = layout.blockBytes != 0
                                   ? ((w + 3) / 4) * ((h + 3) / 4) * layout.blockBytes
                                   : w * h * layout.channels * layout.componentBytes;
    }

    const std::size_t available = image.data ? image.size : 0;
    if (image.width < 0 || image.height < 0 || image.width > maxSide || image.height > maxSide)
        layout.verdict = Verdict::BadSize;
    else if (layout.channels == 0)
        layout.verdict = Verdict::UnknownFormat;
    else if (layout.blockBytes == 0 && layout.componentBytes == 0)
        layout.verdict = Verdict::UnsupportedDataType;
    else if (layout.requiredBytes > available)
        layout.verdict = Verdict::DataTooShort;
    else
        layout.verdict = Verdict::Readable;
    return layout;
}

void PixelDecoder::colorAt(const EnvironmentImage& image, const Layout& layout, int x, int y,
                           float rgb[3])
{
    rgb[0] = rgb[1] = rgb[2] = 0.0f;
    if (x < 0 || y < 0 || x >= image.width || y >= image.height ||
        layout.verdict != Verdict::Readable)
        return;
    float rgbe[4];
    decodeRun(image, layout, y, x, 1, rgbe);
    rgb[0] = rgbe[0];
    rgb[1] = rgbe[1];
    rgb[2] = rgbe[2];
}

void PixelDecoder::decodeRun(const EnvironmentImage& image, const Layout& layout, int y, int x0,
                             int count, float* rgbe)
{
    if (layout.blockBytes != 0)
        return decodeBlocks(image, layout.blockBytes, y, x0, count, rgbe);
    switch (layout.componentBytes) {
    case FloatComponent::bytes:
        return decodeByFormat<FloatComponent>(image, y, x0, count, rgbe);
    case HalfComponent::bytes:
        return decodeByFormat<HalfComponent>(image, y, x0, count, rgbe);
    case ByteComponent::bytes:
        return decodeByFormat<ByteComponent>(image, y, x0, count, rgbe);
    default:
        return;
    }
}

} // namespace Morvek
