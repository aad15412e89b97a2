#pragma once

#include <array>

namespace Morvek {

// A rectangle of whole pixels of a picture: x counts columns from its left edge, y rows from
// its top row.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A directional light standing in for one region of an environment.
struct PhysicalLight {
    // Unit vector along which the light shines, in the world axes of RadianceImage: the
    // opposite of the region's radiance-weighted mean direction.
    std::array<double, 3> direction{};
    // Per channel, what the light delivers to a surface facing it: the image's radiance units
    // times steradians. The lights of one environment together deliver its total.
    std::array<double, 3> irradiance{};
    // The region's solid angle, steradians; the regions of one environment sum to 4 pi.
    double solidAngle = 0.0;
    // The region of the picture the light stands for.
    PixelRect region;
};

} // namespace Morvek
