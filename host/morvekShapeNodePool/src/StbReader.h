#pragma once

// Reads PNG files through stb_image as 8-bit RGB (grey expanded, alpha dropped, 16-bit cut to
// 8), after their chunks have been checked (PngStream).

#include "ImageTarget.h"

#include <string>
#include <vector>

namespace Morvek {

class StbReader {
public:
    // Reads the file's bytes into `target`; false with one line in `error` (starting with the
    // path) for anything it cannot read.
    static bool read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                     std::string& error);
};

} // namespace Morvek
