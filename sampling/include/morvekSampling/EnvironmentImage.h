#pragma once

#include <cstddef>
#include <cstdint>

namespace Morvek {

// A read-only view of the pixels of a lat-long environment image, laid out as an OpenSG
// image stores its first mipmap level, frame and side: rows of `width` pixels, row after
// row, each pixel's components adjacent (compressed formats: rows of 4x4 blocks).
// The view owns nothing; the pixel data must outlive it.
struct EnvironmentImage {
    const std::uint8_t* data = nullptr; // first byte of the pixel data, null when there is none
    std::size_t size = 0;               // bytes readable from `data`
    std::int32_t width = 0;             // pixels per row (signed, as OpenSG keeps it)
    std::int32_t height = 0;            // rows
    std::uint32_t pixelFormat = 0;      // OpenGL enumerant, e.g. 0x1907 for RGB
    std::int32_t dataType = 0;          // OpenGL enumerant, e.g. 0x1406 for 32-bit float
};

} // namespace Morvek
