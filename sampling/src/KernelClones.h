#pragma once

#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/SummedAreaTableBuilder.h>

namespace Morvek {
namespace SatKernel {

// Builds the tables with the wavefront kernel compiled for `instructions` (see
// SummedAreaTableBuilder::Instructions); `streamed` only where canStream allows it.
void buildWith(const EnvironmentImage& image, float* energySAT, float* colorSAT,
               SummedAreaTableBuilder::Instructions instructions, bool streamed);

} // namespace SatKernel
} // namespace Morvek
