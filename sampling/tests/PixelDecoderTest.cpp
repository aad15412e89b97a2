#include <morvekSampling/PixelDecoder.h>

#include <morvekSampling/testSupport/TestImages.h>

#include <Imath/half.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace Morvek {
namespace {

using testing::byteImage;
using testing::floatImage;
using testing::OwnedImage;

TEST(PixelDecoder, ReadsEachFormatAsItsColor)
{
    const std::uint32_t rgb = PixelDecoder::rgbFormat;
    const struct {
        const char* name;
        OwnedImage image;
        int x, y;
        float r, g, b;
    } rows[] = {
        {"white RGB bytes", byteImage(1, 1, rgb, {255, 255, 255}), 0, 0, 1, 1, 1},
        {"BGR stores blue first", byteImage(1, 1, PixelDecoder::bgrFormat, {255, 0, 0}), 0, 0, 0, 0,
         1},
        {"float RGB unchanged", floatImage(1, 1, rgb, {2, 4, 8}), 0, 0, 2, 4, 8},
        {"RGBA alpha ignored",
         floatImage(2, 1, PixelDecoder::rgbaFormat, {1, 2, 3, 100, 5, 6, 7, 9}), 1, 0, 5, 6, 7},
        {"luminance is grey", floatImage(3, 1, PixelDecoder::luminanceFormat, {0.5f, 2, 3}), 2, 0,
         3, 3, 3},
        {"intensity is grey", byteImage(2, 1, PixelDecoder::intensityFormat, {0, 51}), 1, 0, 0.2f,
         0.2f, 0.2f},
        {"luminance-alpha is grey, alpha ignored",
         floatImage(2, 2, PixelDecoder::luminanceAlphaFormat, {1, 9, 2, 9, 3, 9, 4, 7}), 1, 1, 4, 4,
         4},
        {"row stride is the width", floatImage(2, 2, rgb, {0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6}), 0,
         1, 1, 2, 3},
        {"outside the image reads black", floatImage(1, 1, rgb, {2, 4, 8}), 1, 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        float got[3];
        PixelDecoder::colorAt(row.image.view(), row.x, row.y, got);
        EXPECT_EQ(got[0], row.r);
        EXPECT_EQ(got[1], row.g);
        EXPECT_EQ(got[2], row.b);
    }
}

TEST(PixelDecoder, EnergyWeighsInTheFixedOrder)
{
    // Single-precision results of (r * 0.2125 + g * 0.7154) + b * 0.0721; summing in any other
    // order gives 1 and 3.86339974 instead.
    EXPECT_EQ(PixelDecoder::energy(1, 1, 1), 0.99999994f);
    EXPECT_EQ(PixelDecoder::energy(2, 4, 8), 3.86339998f);

    float rgbe[4];
    const OwnedImage white = byteImage(1, 1, PixelDecoder::rgbFormat, {255, 255, 255});
    PixelDecoder::decodeRun(white.view(), PixelDecoder::describe(white.view()), 0, 0, 1, rgbe);
    EXPECT_EQ(rgbe[3], 0.99999994f);
}

TEST(PixelDecoder, HalfFloatsConvertExactlyForEveryBitPattern)
{
    // All 65536 patterns as a 256 x 256 luminance image.
    OwnedImage image{std::vector<std::uint8_t>(2 * 65536), 256, 256, PixelDecoder::luminanceFormat,
                     PixelDecoder::halfFloatType};
    for (unsigned bits = 0; bits < 65536; ++bits) {
        const std::uint16_t pattern = std::uint16_t(bits);
        std::memcpy(&image.bytes[2 * bits], &pattern, 2);
    }
    std::vector<float> rgbe(4 * 256);
    int mismatches = 0;
    for (int y = 0; y < 256; ++y) {
        PixelDecoder::decodeRun(image.view(), PixelDecoder::describe(image.view()), y, 0, 256,
                                rgbe.data());
        for (int x = 0; x < 256; ++x) {
            Imath::half h;
            h.setBits(std::uint16_t(256 * y + x));
            const float expected = float(h);
            std::uint32_t got, want;
            std::memcpy(&got, &rgbe[4 * x], 4);
            std::memcpy(&want, &expected, 4);
            if (got != want && mismatches++ < 5)
                ADD_FAILURE() << "half 0x" << std::hex << (256 * y + x) << " gives bits 0x" << got
                              << ", want 0x" << want;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

struct VerdictRow {
    std::string name;
    EnvironmentImage image;
    PixelDecoder::Verdict verdict;
};

TEST(PixelDecoder, ChecksSizeFormatDataTypeAndLength)
{
    using V = PixelDecoder::Verdict;
    static const std::uint8_t data[64] = {};
    const std::uint32_t rgb = PixelDecoder::rgbFormat;
    const std::int32_t f32 = PixelDecoder::floatType;
    const std::int32_t u8 = PixelDecoder::unsignedByteType;
    const std::uint32_t la = PixelDecoder::luminanceAlphaFormat;
    const std::uint32_t dxt1 = PixelDecoder::rgbDxt1Format, dxt3 = PixelDecoder::rgbaDxt3Format;
    const VerdictRow rows[] = {
        {"RGB floats, exact length", {data, 48, 2, 2, rgb, f32}, V::Readable},
        {"RGB floats, one byte short", {data, 47, 2, 2, rgb, f32}, V::DataTooShort},
        {"no data at all", {nullptr, 48, 2, 2, rgb, f32}, V::DataTooShort},
        {"luminance bytes", {data, 4, 2, 2, PixelDecoder::luminanceFormat, u8}, V::Readable},
        {"luminance-alpha halves short", {data, 15, 2, 2, la, 0x140B}, V::DataTooShort},
        {"width above 65535", {data, 64, 65536, 1, rgb, f32}, V::BadSize},
        {"height above 65535", {data, 64, 1, 65536, rgb, f32}, V::BadSize},
        {"negative width", {data, 64, -1, 1, rgb, f32}, V::BadSize},
        {"65535 wide is allowed", {data, 0, 65535, 0, rgb, f32}, V::Readable},
        {"alpha-only format", {data, 64, 2, 2, 0x1906, u8}, V::UnknownFormat},
        {"BGRA format", {data, 64, 2, 2, 0x80E1, u8}, V::UnknownFormat},
        {"unsigned short data", {data, 64, 2, 2, rgb, 0x1403}, V::UnsupportedDataType},
        {"DXT1 5x5 needs four blocks", {data, 32, 5, 5, dxt1, u8}, V::Readable},
        {"DXT1 5x5 one byte short",
         {data, 31, 5, 5, PixelDecoder::rgbaDxt1Format, u8},
         V::DataTooShort},
        {"DXT5 4x4 one block", {data, 16, 4, 4, PixelDecoder::rgbaDxt5Format, u8}, V::Readable},
        {"DXT3 4x5 short", {data, 16, 4, 5, dxt3, u8}, V::DataTooShort},
        {"DXT ignores the data type", {data, 16, 4, 4, dxt3, 0x1403}, V::Readable},
    };
    for (const VerdictRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PixelDecoder::check(row.image), row.verdict);
    }
}

TEST(PixelDecoder, DxtPixelsComeFromTheirBlock)
{
    // A 5 x 3 DXT1 image: two blocks side by side, the second only one texel column in.
    // Block 0 is solid red (c0 = c1 = red, codes 0); block 1 has c0 = blue > c1 = black and
    // code 1 (black) everywhere except texel (0, 2), code 0 (blue).
    const std::vector<std::uint8_t> blocks = {
        0x00, 0xF8, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, // red, red, all codes 0
        0x1F, 0x00, 0x00, 0x00, 0x55, 0x55, 0x54, 0x55, // blue, black, texel 8 code 0
    };
    const OwnedImage image = byteImage(5, 3, PixelDecoder::rgbDxt1Format, blocks);
    ASSERT_EQ(PixelDecoder::check(image.view()), PixelDecoder::Verdict::Readable);

    std::vector<float> rgbe(4 * 5);
    PixelDecoder::decodeRun(image.view(), PixelDecoder::describe(image.view()), 2, 0, 5,
                            rgbe.data());
    for (int x = 0; x < 4; ++x) {
        SCOPED_TRACE("column " + std::to_string(x));
        EXPECT_EQ(rgbe[4 * x + 0], 1.0f);
        EXPECT_EQ(rgbe[4 * x + 2], 0.0f);
    }
    EXPECT_EQ(rgbe[16 + 0], 0.0f);
    EXPECT_EQ(rgbe[16 + 2], 1.0f);

    float rgb[3];
    PixelDecoder::colorAt(image.view(), 4, 1, rgb);
    EXPECT_EQ(rgb[2], 0.0f) << "texel (0, 1) of block 1 is black";
}

} // namespace
} // namespace Morvek
