#include "StbReader.h"

#include "PngStream.h"
#include "StbImage.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace Morvek {

using Bytes = std::vector<unsigned char>;

bool StbReader::read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                     std::string& error)
{
    const std::string& path = target.path();
    PngStream png;
    if (!png.check(bytes, target, error))
        return false;

    // An indexed PNG is decoded to its raw indexes, which are then looked up here, so that an
    // index beyond the palette is an error rather than an unset colour.
    const int paletteEntries = png.paletteEntries();
    const Bytes indexed = paletteEntries ? png.withIdentityPalette(bytes) : Bytes();
    const Bytes& input = paletteEntries ? indexed : bytes;
    const auto* data = input.data();
    const int size = static_cast<int>(std::min<std::size_t>(input.size(), 0x7fffffff));
    const auto failed = [&] {
        const std::string reason = StbImage::failureReason();
        error = path + ": corrupt or truncated PNG data" +
                (reason.empty() ? std::string() : " (" + reason + ")");
        return false;
    };

    int width = 0;
    int height = 0;
    int channels = 0;
    if (!StbImage::info(data, size, width, height, channels))
        return failed();
    if (!target.checkSize(width, height, error))
        return false;

    unsigned char* decoded = StbImage::load8(data, size, width, height);
    if (!decoded)
        return failed();
    std::unique_ptr<void, void (*)(void*)> owner(decoded, &StbImage::release);

    if (!target.allocate(width, height, osg::Image::OSG_UINT8_IMAGEDATA, error))
        return false;
    const unsigned char* rows = decoded;
    if (paletteEntries) {
        const Bytes palette = png.palette(bytes);
        for (int row = 0; row < height; ++row) {
            const unsigned char* in = rows + target.rowBytes() * std::size_t(row);
            unsigned char* out = target.pictureRow(row);
            for (int x = 0; x < width; ++x) {
                const int index = in[3 * x];
                if (index >= paletteEntries) {
                    error = path + ": corrupt PNG data: pixel (" + std::to_string(x) + ", " +
                            std::to_string(row) + ") uses palette entry " + std::to_string(index) +
                            " of " + std::to_string(paletteEntries);
                    return false;
                }
                std::memcpy(out + 3 * x, &palette[3 * std::size_t(index)], 3);
            }
        }
        return true;
    }
    for (int row = 0; row < height; ++row)
        std::memcpy(target.pictureRow(row), rows + target.rowBytes() * std::size_t(row),
                    target.rowBytes());
    return true;
}

} // namespace Morvek
