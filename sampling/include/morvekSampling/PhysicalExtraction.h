#pragma once

#include <morvekSampling/PhysicalLight.h>
#include <morvekSampling/RadianceImage.h>

#include <array>
#include <string>
#include <vector>

namespace Morvek {

// Turns an environment into directional lights that deliver its irradiance: every pixel
// weighted by its exact solid angle, the picture cut into exactly the number of regions asked
// for, one light per region, and nothing of the environment's power lost.
class PhysicalExtraction {
public:
    // The most lights one extraction makes.
    static constexpr int maxLights = 4096;

    struct Options {
        int lights = 16; // 0 to maxLights, and at most one per pixel
        // Threads that may read the picture, the calling one among them; 1 reads it on the
        // calling thread alone. The lights are the same whatever the number.
        int threads = 1;
    };

    struct Result {
        std::vector<PhysicalLight> lights; // the most powerful first (by luminance)
        // Per channel, the sum over all pixels of radiance times solid angle (summed in single
        // precision within each cell of the cut's grid, in double beyond: within about 1e-7 of
        // the exact sum).
        std::array<double, 3> totalIrradiance{};
        std::string error; // empty on success; otherwise one line saying what was wrong
        bool ok() const { return error.empty(); }
    };

    // Negative components count as 0. An image without pixels, with a non-finite component,
    // or asked for more lights than allowed gives no light and an error.
    static Result extract(const RadianceImage& image, const Options& options);
};

} // namespace Morvek
