#pragma once

#include <cstddef>

namespace Morvek {

// A read-only view of a latitude-longitude environment as linear RGB radiance: three floats
// per pixel, rows of `width` pixels one after another. Picture row 0 is the zenith and the
// first row in memory, unless `bottomRowFirst` says the rows are stored the other way round
// (as an OpenSG image keeps them). The view owns nothing.
//
// World axes (Y up): the picture's pixel centre (u, v), in pixels from the left edge and the
// top row, lies toward (cos a * sin t, cos t, sin a * sin t) with a = 2 pi u / width and
// t = pi v / height. So the left edge faces +X, a quarter of the way across +Z, the centre
// column -X and three quarters -Z.
struct RadianceImage {
    const float* rgb = nullptr;
    int width = 0;  // pixels
    int height = 0; // rows
    bool bottomRowFirst = false;

    // The pixels of picture row `row` (0 = top).
    const float* row(int pictureRow) const
    {
        const int stored = bottomRowFirst ? height - 1 - pictureRow : pictureRow;
        return rgb + std::size_t(stored) * std::size_t(width) * 3;
    }
};

} // namespace Morvek
