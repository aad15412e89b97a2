#pragma once

// An array-like from Python as the float RGB picture the extraction reads, top row first as
// numpy keeps pictures. A C-contiguous float32 H x W x 3 array is read where it lies; anything
// else is converted once into a float32 array held here:
//   - float16 and float64 values are rounded to the nearest float32;
//   - uint8 values become byte / 255 (linear, no sRGB decoding), as envlights reads 8-bit files;
//   - an H x W array is grey: each value goes to R, G and B;
//   - a non-contiguous float32 array is copied into C order.
// Other shapes and element types are refused. Needs the GIL for set(); the view may then be
// read without it while this object lives.

#include <morvekSampling/RadianceImage.h>

#include <pybind11/numpy.h>

#include <string>

namespace envlights::python {

class ImageArray {
public:
    enum class Problem {
        None,
        Type,  ///< not an array of a supported element type
        Value, ///< a supported element type of the wrong shape
    };

    /// Takes `object` as a picture. On failure returns the problem, with one line in `error`.
    Problem set(pybind11::handle object, std::string& error);

    /// The picture; width and height are the array's, which may be outside the sizes the
    /// extraction accepts (EnvironmentPreparation checks them).
    const Morvek::RadianceImage& image() const { return _image; }

    /// Whether the picture is the caller's own memory.
    bool borrowed() const { return _borrowed; }

private:
    pybind11::array _array; ///< the caller's array or the converted copy
    Morvek::RadianceImage _image;
    bool _borrowed = false;
};

} // namespace envlights::python
