#pragma once

// What the physical method found for one environment: lights that together deliver the
// environment's irradiance, in the image's own radiance units times steradians.

#include <morvekSampling/PhysicalLight.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace envlights {

/// The result for one image. Every light's region (in picture pixels, y from the top row) is a
/// region of the cut, and the regions tile the picture.
struct PhysicalReport {
    std::string path; ///< the file, or builtInSkyName for the procedural sky
    int width = 0;    ///< pixels
    int height = 0;   ///< pixels
    std::vector<Morvek::PhysicalLight> lights; ///< the most powerful first
    std::array<double, 3> totalIrradiance{};   ///< per channel, what all lights deliver together
    std::optional<double> irradianceError;     ///< with --report: relative, 0 is perfect
};

/// A light's colour and intensity as X3D takes them: the colour is the irradiance over its
/// largest component (black for a light that delivers nothing), the intensity that component.
struct ColorIntensity {
    std::array<double, 3> color{};
    double intensity = 0.0;
};

inline ColorIntensity colorIntensity(const std::array<double, 3>& irradiance)
{
    const double peak = std::max({irradiance[0], irradiance[1], irradiance[2]});
    if (!(peak > 0.0))
        return {};
    return {{irradiance[0] / peak, irradiance[1] / peak, irradiance[2] / peak}, peak};
}

} // namespace envlights
