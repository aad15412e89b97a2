#pragma once

// Reads OpenEXR files: R, G and B (or a lone Y as grey) as 32-bit floats.

#include "ImageTarget.h"

#include <string>
#include <vector>

namespace Morvek {

class ExrReader {
public:
    // Reads the file's bytes into `target`; false with one line in `error` (starting with the
    // path) for anything it cannot read.
    static bool read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                     std::string& error);
    // True (the default): chunks are decoded on OpenEXR's pool; false: on the caller's thread.
    static void setUseThreads(bool useThreads);
};

} // namespace Morvek
