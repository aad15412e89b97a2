#include <morvekSampling/SummedAreaTableBuilder.h>

#include "KernelClones.h"
#include "StoreChoice.h"
#include "WavefrontKernel.h"

#include <morvekSampling/PixelDecoder.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace Morvek {

using SatKernel::buildWith;
using SatKernel::groupColumns;
using SatKernel::storeChoice;
using SatKernel::StoreChoice;

namespace {

// Tables from this many entries up (64 MiB of tables) outgrow the caches; smaller ones stay
// cached, where the median cut reads them right after the build.
constexpr std::size_t streamingMinEntries = std::size_t(1) << 22;

} // namespace

// Streaming stores need float RGB, BGR or RGBA pixels (read straight from the image), rows of
// whole groups and tables on cache-line boundaries, so that every group fills whole lines.
bool SummedAreaTableBuilder::canStream(const EnvironmentImage& image, const float* energySAT,
                                       const float* colorSAT)
{
#if defined(__SSE2__)
    const bool floatPixels = image.dataType == PixelDecoder::floatType &&
                             (image.pixelFormat == PixelDecoder::rgbFormat ||
                              image.pixelFormat == PixelDecoder::bgrFormat ||
                              image.pixelFormat == PixelDecoder::rgbaFormat);
    return floatPixels && image.width > 0 && image.width % groupColumns == 0 &&
           reinterpret_cast<std::uintptr_t>(energySAT) % 64 == 0 &&
           reinterpret_cast<std::uintptr_t>(colorSAT) % 64 == 0;
#else
    (void)image;
    (void)energySAT;
    (void)colorSAT;
    return false;
#endif
}

bool SummedAreaTableBuilder::prepare(const EnvironmentImage& image, SummedAreaTable& energy,
                                     SummedAreaTable& color)
{
    constexpr std::size_t pageBytes = 4096;
    const auto w = std::uint16_t(image.width);
    const auto h = std::uint16_t(image.height);
    if (!energy.resize(w, h, 1) || !color.resize(w, h, 3)) {
        energy.release();
        color.release();
        return false;
    }
    energy.placeFor(image.data, pageBytes / 4);
    color.placeFor(image.data, pageBytes / 2);
    return true;
}

SummedAreaTableBuilder::Stores SummedAreaTableBuilder::largeTableStores()
{
    return storeChoice().decided();
}

void SummedAreaTableBuilder::build(const EnvironmentImage& image,
                                   const PixelDecoder::Layout& layout, float* energySAT,
                                   float* colorSAT, Instructions instructions, Stores stores)
{
    if (!canStream(image, energySAT, colorSAT) || stores == Stores::Cached) {
        buildWith(image, layout, energySAT, colorSAT, instructions, false);
        return;
    }
    if (stores == Stores::Streaming) {
        buildWith(image, layout, energySAT, colorSAT, instructions, true);
        return;
    }
    const std::size_t entries = std::size_t(image.width) * std::size_t(image.height);
    if (entries < streamingMinEntries) {
        buildWith(image, layout, energySAT, colorSAT, instructions, false);
        return;
    }
    StoreChoice& choice = storeChoice();
    const bool streamed = choice.streamNext();
    const auto start = std::chrono::steady_clock::now();
    buildWith(image, layout, energySAT, colorSAT, instructions, streamed);
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    choice.record(streamed, took.count() / double(entries));
}

} // namespace Morvek
