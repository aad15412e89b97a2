#pragma once

#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/PixelDecoder.h>
#include <morvekSampling/SummedAreaTableBuilder.h>

namespace Morvek {
namespace SatKernel {

// Builds the tables with the wavefront kernel compiled for `instructions` (see
// SummedAreaTableBuilder::Instructions); `streamed` only where canStream allows it.
void buildWith(const EnvironmentImage& image, const PixelDecoder::Layout& layout, float* energySAT,
               float* colorSAT, SummedAreaTableBuilder::Instructions instructions, bool streamed);

} // namespace SatKernel
} // namespace Morvek
