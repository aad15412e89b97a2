#pragma once

// The reference for the summed-area tables: a line-by-line transcription of the per-pixel
// colour read and the plain double loop over rows and columns, kept deliberately naive.
// It shares nothing with the library's decoder but the S3TC block decoder (which has its own
// hand-worked tests) and serves the tests and the benchmarks as the oracle.

#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/S3tcDecoder.h>

#include <Imath/half.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace Morvek::literal {

inline std::uint64_t numChannels(std::uint32_t pixelFormat)
{
    switch (pixelFormat) {
    case 0x1909: // luminance
    case 0x8049: // intensity
        return 1;
    case 0x190A: // luminance-alpha
        return 2;
    case 0x1907: // RGB
    case 0x80E0: // BGR
    case 0x83F0: // RGB DXT1
        return 3;
    case 0x1908: // RGBA
    case 0x83F1: // RGBA DXT1
    case 0x83F2: // RGBA DXT3
    case 0x83F3: // RGBA DXT5
        return 4;
    default:
        return 0;
    }
}

// The colour of pixel (x, y); false for a data type it cannot read (colour black).
inline bool getColor(const EnvironmentImage& image, int x, int y, float c[3])
{
    c[0] = c[1] = c[2] = 0.0f;
    const std::uint64_t W = std::uint64_t(image.width);
    const std::uint64_t n = numChannels(image.pixelFormat);
    const std::uint64_t i = (W * std::uint64_t(y) + std::uint64_t(x)) * n;

    const std::size_t blockBytes = S3tcDecoder::blockBytes(image.pixelFormat);
    if (blockBytes != 0) {
        const std::uint64_t blocksPerRow = (W + 3) / 4;
        std::uint8_t texels[16][3];
        S3tcDecoder::decodeBlock(
            image.pixelFormat,
            image.data + (std::uint64_t(y / 4) * blocksPerRow + std::uint64_t(x / 4)) * blockBytes,
            texels);
        for (int k = 0; k < 3; ++k)
            c[k] = float(texels[4 * (y % 4) + x % 4][k]) / 255.0f;
        return true;
    }

    // Grey formats read one component for all three; BGR is stored blue first.
    const bool grey = n < 3;
    const bool bgr = image.pixelFormat == 0x80E0;
    const std::uint64_t at[3] = {grey  ? i
                                 : bgr ? i + 2
                                       : i,
                                 grey ? i : i + 1,
                                 grey  ? i
                                 : bgr ? i
                                       : i + 2};
    switch (image.dataType) {
    case 0x1406: // float
        for (int k = 0; k < 3; ++k)
            std::memcpy(&c[k], image.data + at[k] * 4, 4);
        return true;
    case 0x140B: // half float
        for (int k = 0; k < 3; ++k) {
            std::uint16_t bits;
            std::memcpy(&bits, image.data + at[k] * 2, 2);
            Imath::half h;
            h.setBits(bits);
            c[k] = float(h);
        }
        return true;
    case 0x1401: // unsigned byte
        for (int k = 0; k < 3; ++k)
            c[k] = float(image.data[at[k]]) / 255.0f;
        return true;
    default:
        return false;
    }
}

struct Tables {
    int width = 0;
    int height = 0;
    std::vector<float> energy; // width * height
    std::vector<float> color;  // 3 * width * height
};

// Fills the tables of `image` (sized width * height) row by row, column by column.
inline void createSAT(const EnvironmentImage& image, Tables& t)
{
    const int w = image.width;
    const int h = image.height;
    t.width = w;
    t.height = h;
    t.energy.resize(std::size_t(w) * std::size_t(h));
    t.color.resize(3 * std::size_t(w) * std::size_t(h));
    float* E = t.energy.data();
    float* C = t.color.data();
    auto sampleEnergy = [&](int x, int y) {
        return x < 0 || y < 0 ? 0.0f : E[std::size_t(y) * w + x];
    };
    auto sampleColor = [&](int x, int y, int k) {
        return x < 0 || y < 0 ? 0.0f : C[3 * (std::size_t(y) * w + x) + k];
    };

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float c[3];
            getColor(image, x, y, c);
            const float e = (c[0] * 0.2125f + c[1] * 0.7154f) + c[2] * 0.0721f;
            E[std::size_t(y) * w + x] =
                ((sampleEnergy(x, y - 1) + sampleEnergy(x - 1, y)) - sampleEnergy(x - 1, y - 1)) +
                e;
            for (int k = 0; k < 3; ++k)
                C[3 * (std::size_t(y) * w + x) + k] =
                    c[k] + ((sampleColor(x, y - 1, k) + sampleColor(x - 1, y, k)) -
                            sampleColor(x - 1, y - 1, k));
        }
    }
}

inline Tables createSAT(const EnvironmentImage& image)
{
    Tables t;
    createSAT(image, t);
    return t;
}

} // namespace Morvek::literal
