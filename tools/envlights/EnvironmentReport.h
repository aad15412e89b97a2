#pragma once

// What envlights found for one environment: the generated lights, as the lighting node pool
// made them, and the leaves of its cut, in the coordinates a user sees in the picture.

#include <morvekSampling/PhysicalLight.h>

#include <array>
#include <string>
#include <vector>

namespace envlights {

/// A rectangle of whole pixels in picture coordinates: x counts columns from the picture's left
/// edge, y counts rows from the picture's TOP row (as image viewers do; OpenSG stores the
/// bottom row first, so a leaf starting at data row r with height h starts at picture row
/// imageHeight - r - h). The physical method's regions are the same kind of rectangle.
using PictureRect = Morvek::PixelRect;

/// One generated DirectionalLight.
struct ReportedLight {
    std::array<float, 3> direction{}; ///< the node's `direction` field: where the light shines
    std::array<float, 3> color{};     ///< the node's `color` field (linear RGB)
    PictureRect region;               ///< the leaf of the cut the light came from
};

/// The result for one image.
struct EnvironmentReport {
    std::string path;                  ///< the file, or builtInSkyName for the procedural sky
    int width = 0;                     ///< pixels
    int height = 0;                    ///< pixels
    std::vector<ReportedLight> lights; ///< in the order of `_lights`: densest first
    std::vector<PictureRect> leaves;   ///< every leaf of the cut, also those that made no light
};

/// The path reported for the built-in sky.
inline constexpr const char* builtInSkyName = "<built-in sky>";

} // namespace envlights
