#pragma once

// Walks a JPEG file's markers before anything is decoded: the frame header's size (against the
// loader's limit), the Huffman and quantisation tables the scans use, each scan's coded data
// against the least the declared size needs, and the end-of-image marker. What passes can be
// handed to the decoder without it overrunning a table, reading a table never defined or
// filling a large picture from a few bytes.

#include "ImageTarget.h"

#include <string>
#include <vector>

namespace Morvek {

class JpegStream {
public:
    // False with one line in `error` (starting with the path) for a file to refuse.
    static bool check(const std::vector<unsigned char>& bytes, const ImageTarget& target,
                      std::string& error);
};

} // namespace Morvek
