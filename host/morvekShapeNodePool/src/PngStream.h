#pragma once

// Walks a PNG file's chunks before anything is decoded: the signature, every chunk's length and
// checksum, the header's fields and size (against the loader's limit), the palette, and that the
// stream reaches its end chunk. What passes can be handed to the decoder without it reading
// past the data or through unset palette entries.

#include "ImageTarget.h"

#include <string>
#include <vector>

namespace Morvek {

class PngStream {
public:
    // Palette entries declared by an indexed-colour file (0 for other colour types).
    int paletteEntries() const { return _paletteEntries; }

    // False with one line in `error` (starting with the path) for a file to refuse.
    bool check(const std::vector<unsigned char>& bytes, const ImageTarget& target,
               std::string& error);

    // The same file with its palette replaced by the identity (entry i = grey i, 256 entries),
    // so that the decoder yields the raw indexes; only for an indexed file that passed check().
    std::vector<unsigned char> withIdentityPalette(const std::vector<unsigned char>& bytes) const;

    // The palette's entries as RGB triples; only for an indexed file that passed check().
    std::vector<unsigned char> palette(const std::vector<unsigned char>& bytes) const;

private:
    int _paletteEntries = 0;
};

} // namespace Morvek
