#include <morvekSampling/S3tcDecoder.h>

#include <morvekSampling/PixelDecoder.h>

namespace Morvek {

namespace {

unsigned readWord16(const std::uint8_t* p) { return unsigned(p[0]) | unsigned(p[1]) << 8; }

std::uint32_t readWord32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void widen565(unsigned c, unsigned rgb[3])
{
    const unsigned r = (c >> 11) & 0x1F;
    const unsigned g = (c >> 5) & 0x3F;
    const unsigned b = c & 0x1F;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

} // namespace

std::size_t S3tcDecoder::blockBytes(std::uint32_t pixelFormat)
{
    switch (pixelFormat) {
    case PixelDecoder::rgbDxt1Format:
    case PixelDecoder::rgbaDxt1Format:
        return 8;
    case PixelDecoder::rgbaDxt3Format:
    case PixelDecoder::rgbaDxt5Format:
        return 16;
    default:
        return 0;
    }
}

void S3tcDecoder::decodeBlock(std::uint32_t pixelFormat, const std::uint8_t* block,
                              std::uint8_t rgb[16][3])
{
    const bool dxt1 = blockBytes(pixelFormat) == 8;
    const std::uint8_t* colorBlock = dxt1 ? block : block + 8;

    const unsigned c0 = readWord16(colorBlock);
    const unsigned c1 = readWord16(colorBlock + 2);
    const std::uint32_t codes = readWord32(colorBlock + 4);

    unsigned palette[4][3];
    widen565(c0, palette[0]);
    widen565(c1, palette[1]);
    const bool fourColors = !dxt1 || c0 > c1;
    for (int k = 0; k < 3; ++k) {
        const unsigned a = palette[0][k];
        const unsigned b = palette[1][k];
        if (fourColors) {
            palette[2][k] = (2 * a + b + 1) / 3;
            palette[3][k] = (a + 2 * b + 1) / 3;
        } else {
            palette[2][k] = (a + b + 1) / 2;
            palette[3][k] = 0;
        }
    }

    for (int t = 0; t < 16; ++t) {
        const unsigned code = (codes >> (2 * t)) & 3;
        for (int k = 0; k < 3; ++k)
            rgb[t][k] = std::uint8_t(palette[code][k]);
    }
}

} // namespace Morvek
