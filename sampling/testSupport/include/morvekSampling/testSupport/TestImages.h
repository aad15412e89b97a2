#pragma once

// Small owned images for the sampling tests.

#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/PixelDecoder.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace Morvek::testing {

struct OwnedImage {
    std::vector<std::uint8_t> bytes;
    int width = 0;
    int height = 0;
    std::uint32_t pixelFormat = PixelDecoder::rgbFormat;
    std::int32_t dataType = PixelDecoder::floatType;

    EnvironmentImage view() const
    {
        return {bytes.data(), bytes.size(), width, height, pixelFormat, dataType};
    }
};

// An image of floats given inline, components in storage order.
inline OwnedImage floatImage(int width, int height, std::uint32_t pixelFormat,
                             const std::vector<float>& values)
{
    OwnedImage image{std::vector<std::uint8_t>(values.size() * 4), width, height, pixelFormat,
                     PixelDecoder::floatType};
    std::memcpy(image.bytes.data(), values.data(), image.bytes.size());
    return image;
}

inline OwnedImage byteImage(int width, int height, std::uint32_t pixelFormat,
                            const std::vector<std::uint8_t>& values)
{
    return {values, width, height, pixelFormat, PixelDecoder::unsignedByteType};
}

// Random pixels of any readable format and data type: floats in [-1, 4), halves of finite
// values, any byte, any DXT block.
inline OwnedImage randomImage(int width, int height, std::uint32_t pixelFormat,
                              std::int32_t dataType, std::mt19937& rng)
{
    OwnedImage image{{}, width, height, pixelFormat, dataType};
    image.bytes.resize(PixelDecoder::requiredBytes(image.view()));
    std::uniform_real_distribution<float> value(-1.0f, 4.0f);
    std::uniform_int_distribution<int> byte(0, 255);
    if (!PixelDecoder::isBlockCompressed(pixelFormat) && dataType == PixelDecoder::floatType) {
        for (std::size_t i = 0; i < image.bytes.size(); i += 4) {
            const float f = value(rng);
            std::memcpy(&image.bytes[i], &f, 4);
        }
    } else if (!PixelDecoder::isBlockCompressed(pixelFormat) &&
               dataType == PixelDecoder::halfFloatType) {
        for (std::size_t i = 0; i < image.bytes.size(); i += 2) {
            // Any sign and mantissa, exponents below the all-ones one: finite values.
            const std::uint16_t bits = std::uint16_t(byte(rng) << 8 | byte(rng)) & 0xFBFFu;
            std::memcpy(&image.bytes[i], &bits, 2);
        }
    } else {
        for (auto& b : image.bytes)
            b = std::uint8_t(byte(rng));
    }
    return image;
}

} // namespace Morvek::testing
