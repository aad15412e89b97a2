#pragma once

// Reads JPEG files through libjpeg-turbo as 8-bit RGB (grey expanded). The stream's markers are
// walked first (JpegStream), so that a size we refuse or a stream that ends early costs no
// decoding; the decoder's warnings about corrupt data are errors here, not silently patched
// pixels.

#include "ImageTarget.h"

#include <string>
#include <vector>

namespace Morvek {

class JpegReader {
public:
    // Reads the file's bytes into `target`; false with one line in `error` (starting with the
    // path) for anything it cannot read.
    static bool read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                     std::string& error);
};

} // namespace Morvek
