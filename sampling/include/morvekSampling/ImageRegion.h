#pragma once

#include <OpenSG/OSGVector.h>

#include <cstdint>

namespace Morvek {

// A rectangle of an environment image with the energy of its pixels. It covers the columns
// origin.x() to origin.x() + width - 1 and the rows origin.y() to origin.y() + height - 1,
// counted from the start of the image data as OpenSG stores it.
struct ImageRegion {
    float energy = 0.0f;      // handed down when the region was made, never re-read from a table
    osg::Vec2us origin;       // (column, row) of the first pixel: the lowest column and row
    std::uint16_t width = 0;  // columns
    std::uint16_t height = 0; // rows
};

} // namespace Morvek
