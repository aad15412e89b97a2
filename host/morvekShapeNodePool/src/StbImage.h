#pragma once

// stb_image compiled into this library (its functions kept private to one source file), so
// that sanitizer builds instrument the decoder too. Only PNG is built in.

namespace Morvek {

class StbImage {
public:
    // Width, height and stored channels from the header; false when stb cannot tell.
    static bool info(const unsigned char* data, int size, int& width, int& height, int& channels);
    // Decodes to 8-bit RGB, picture rows top first; nullptr on failure (see failureReason).
    static unsigned char* load8(const unsigned char* data, int size, int& width, int& height);
    // Frees what load8 returned.
    static void release(void* pixels);
    // Why the last call on this thread failed; never null.
    static const char* failureReason();
};

} // namespace Morvek
