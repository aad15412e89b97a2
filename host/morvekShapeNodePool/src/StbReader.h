#pragma once

// Reads PNG and JPEG files through stb_image as 8-bit RGB (grey expanded, alpha dropped, 16-bit
// cut to 8).

#include "ImageTarget.h"

#include <morvekShapeNodePool/ImageFile.h>

#include <string>
#include <vector>

namespace Morvek {

class StbReader {
public:
    // Reads the file's bytes, of the given format, into `target`; false with one line in
    // `error` (starting with the path) for anything it cannot read.
    static bool read(const std::vector<unsigned char>& bytes, ImageFileFormat format,
                     ImageTarget& target, std::string& error);
};

} // namespace Morvek
