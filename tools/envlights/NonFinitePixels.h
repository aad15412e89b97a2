#pragma once

// HDR files can hold NaN or infinite values (a broken render, a saturated sensor). One such
// value would poison every sum of the environment's tables, so a pixel with any non-finite
// component becomes black as a whole before extraction.

#include <OpenSG/OSGImage.h>

#include <cstddef>
#include <cstdint>

namespace envlights {

class NonFinitePixels {
public:
    /// Sets every pixel of a 32-bit float image that has a NaN or infinite component to 0 in all
    /// its components and returns how many pixels that were. Other data types hold only finite
    /// values: 0.
    static std::uint64_t replaceWithZero(osg::ImagePtr image);

    /// The same for `pixels` pixels of `components` floats each at `values`.
    static std::uint64_t replaceWithZero(float* values, std::uint64_t pixels,
                                         std::size_t components);

    /// How many of those pixels have a NaN or infinite component, without changing any.
    static std::uint64_t count(const float* values, std::uint64_t pixels, std::size_t components);
};

} // namespace envlights
