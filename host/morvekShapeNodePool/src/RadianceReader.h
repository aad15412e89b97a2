#pragma once

// Reads Radiance RGBE files (.hdr, .pic) into 32-bit float RGB, each picture row decoded
// straight into its final place in the target.
//
// What is read: the "#?RADIANCE" or "#?RGBE" magic line, header lines up to an empty line
// (a FORMAT line, if present, must say 32-bit_rle_rgbe; other variables are ignored), the size
// line "-Y height +X width" (top row first, left to right; other orientations are refused),
// then one scan line per row, each either flat (4 bytes a pixel) or run-length coded
// (2, 2, width high byte, width low byte, then each of the four components as runs and dumps).
// Old-style repeat pixels (1, 1, 1, n) are refused. A value is mantissa * 2^(exponent - 136),
// zero for exponent 0.
//
// The header alone decides whether the size is acceptable and whether the file is long enough
// to hold that many scan lines, so a refused file costs no pixel memory.

#include "ImageTarget.h"

#include <string>
#include <vector>

namespace Morvek {

class RadianceReader {
public:
    // Reads the file's bytes into `target`; false with one line in `error` (starting with the
    // path) for anything it cannot read.
    static bool read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                     std::string& error);
};

} // namespace Morvek
