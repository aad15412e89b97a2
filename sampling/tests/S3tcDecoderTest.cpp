#include <morvekSampling/S3tcDecoder.h>

#include <morvekSampling/PixelDecoder.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace Morvek {
namespace {

using Rgb = std::array<int, 3>;

// Codes 0, 1, 2, 3 along every row of texels: each code byte is 0b11'10'01'00.
constexpr std::uint8_t codesPerColumn[4] = {0xE4, 0xE4, 0xE4, 0xE4};

std::vector<std::uint8_t> colorBlock(std::uint16_t c0, std::uint16_t c1,
                                     const std::uint8_t codes[4])
{
    return {std::uint8_t(c0 & 0xFF),
            std::uint8_t(c0 >> 8),
            std::uint8_t(c1 & 0xFF),
            std::uint8_t(c1 >> 8),
            codes[0],
            codes[1],
            codes[2],
            codes[3]};
}

std::vector<std::uint8_t> withAlphaBlock(std::vector<std::uint8_t> color)
{
    // Alpha bytes that would read as anything but zero; they must not leak into the colour.
    std::vector<std::uint8_t> block(16, 0xFF);
    block[1] = 0x00;
    for (std::size_t i = 0; i < 8; ++i)
        block[8 + i] = color[i];
    return block;
}

struct BlockRow {
    std::string name;
    std::uint32_t format;
    std::vector<std::uint8_t> block;
    Rgb palette[4]; // the colours of codes 0..3, worked out by hand
};

TEST(S3tcDecoder, DecodesPalettesWorkedOutByHand)
{
    const std::uint16_t red = 0xF800;   // 5:6:5 (31, 0, 0) -> (255, 0, 0)
    const std::uint16_t blue = 0x001F;  // (0, 0, 31) -> (0, 0, 255)
    const std::uint16_t green = 0x07E0; // (0, 63, 0) -> (0, 255, 0)
    const std::uint16_t grey = 0x8410;  // (16, 32, 16) -> (132, 130, 132) by bit replication
    const BlockRow rows[] = {
        // c0 > c1: thirds. (2 * 255 + 0 + 1) / 3 = 170, (255 + 0 + 1) / 3 = 85.
        {"DXT1 four colours",
         PixelDecoder::rgbDxt1Format,
         colorBlock(red, blue, codesPerColumn),
         {{255, 0, 0}, {0, 0, 255}, {170, 0, 85}, {85, 0, 170}}},
        // c0 < c1: the midpoint (255 + 1) / 2 = 128, then black.
        {"DXT1 three colours and black",
         PixelDecoder::rgbaDxt1Format,
         colorBlock(blue, red, codesPerColumn),
         {{0, 0, 255}, {255, 0, 0}, {128, 0, 128}, {0, 0, 0}}},
        {"DXT1 equal endpoints use three colours",
         PixelDecoder::rgbDxt1Format,
         colorBlock(green, green, codesPerColumn),
         {{0, 255, 0}, {0, 255, 0}, {0, 255, 0}, {0, 0, 0}}},
        // DXT3 always uses thirds, even with c0 < c1.
        {"DXT3 thirds whatever the endpoint order",
         PixelDecoder::rgbaDxt3Format,
         withAlphaBlock(colorBlock(blue, red, codesPerColumn)),
         {{0, 0, 255}, {255, 0, 0}, {85, 0, 170}, {170, 0, 85}}},
        // (2 * 132 + 1) / 3 = 88, (2 * 130 + 1) / 3 = 87, (132 + 1) / 3 = 44, (130 + 1) / 3 = 43.
        {"DXT5 bit replication and rounding",
         PixelDecoder::rgbaDxt5Format,
         withAlphaBlock(colorBlock(grey, 0x0000, codesPerColumn)),
         {{132, 130, 132}, {0, 0, 0}, {88, 87, 88}, {44, 43, 44}}},
    };
    for (const BlockRow& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(row.block.size(), S3tcDecoder::blockBytes(row.format));
        std::uint8_t rgb[16][3];
        S3tcDecoder::decodeBlock(row.format, row.block.data(), rgb);
        for (int t = 0; t < 16; ++t) {
            const Rgb& want = row.palette[t % 4];
            EXPECT_EQ((Rgb{rgb[t][0], rgb[t][1], rgb[t][2]}), want)
                << "texel (" << t % 4 << ", " << t / 4 << ")";
        }
    }
}

TEST(S3tcDecoder, CodeBitsAddressTexelsRowByRow)
{
    // Only texel (2, 1) has code 1: bits 2 * (4 * 1 + 2) = 12 and 13 of the code word.
    const std::uint8_t codes[4] = {0x00, 0x10, 0x00, 0x00};
    const std::vector<std::uint8_t> block = colorBlock(0xFFFF, 0x0000, codes);
    std::uint8_t rgb[16][3];
    S3tcDecoder::decodeBlock(PixelDecoder::rgbDxt1Format, block.data(), rgb);
    for (int t = 0; t < 16; ++t) {
        SCOPED_TRACE("texel " + std::to_string(t));
        EXPECT_EQ(int(rgb[t][1]), t == 6 ? 0 : 255);
    }
}

} // namespace
} // namespace Morvek
