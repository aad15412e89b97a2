#pragma once

#include <cstddef>
#include <cstdint>

namespace Morvek {

// Decodes S3TC (DXT1, DXT3, DXT5) blocks of 4x4 texels to 8-bit RGB; alpha is not decoded.
//
// A colour block holds two RGB 5:6:5 endpoints c0 and c1 (little-endian 16-bit words) and
// sixteen 2-bit codes (a little-endian 32-bit word, texel (i, j) at bits 2 * (4 * j + i)).
// Endpoints widen to 8 bits by bit replication. When c0 > c1 as 16-bit words, and always for
// DXT3 and DXT5, the codes 0..3 mean c0, c1, (2 c0 + c1) / 3 and (c0 + 2 c1) / 3; otherwise
// (DXT1 only) c0, c1, (c0 + c1) / 2 and black. Thirds and halves round to nearest, halves up.
// DXT3 and DXT5 blocks carry 8 bytes of alpha before their colour block.
class S3tcDecoder {
public:
    // Bytes per 4x4 block of a DXT format; 0 for any other format.
    static std::size_t blockBytes(std::uint32_t pixelFormat);

    // Decodes one block of `pixelFormat` into 16 RGB triples, texel (i, j) at index 4 * j + i.
    // `block` must hold blockBytes(pixelFormat) bytes.
    static void decodeBlock(std::uint32_t pixelFormat, const std::uint8_t* block,
                            std::uint8_t rgb[16][3]);
};

} // namespace Morvek
