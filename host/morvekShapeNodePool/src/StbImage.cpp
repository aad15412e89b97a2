#include "StbImage.h"

// The decoder's own code is not held to the project's warning set.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wtype-limits"
#endif
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace Morvek {

bool StbImage::info(const unsigned char* data, int size, int& width, int& height, int& channels)
{
    return stbi_info_from_memory(data, size, &width, &height, &channels) != 0;
}

unsigned char* StbImage::load8(const unsigned char* data, int size, int& width, int& height)
{
    int channels = 0;
    return stbi_load_from_memory(data, size, &width, &height, &channels, 3);
}

void StbImage::release(void* pixels) { stbi_image_free(pixels); }

const char* StbImage::failureReason()
{
    const char* reason = stbi_failure_reason();
    return reason ? reason : "";
}

} // namespace Morvek
