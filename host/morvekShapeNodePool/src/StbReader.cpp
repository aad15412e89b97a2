#include "StbReader.h"

#include <stb_image.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace Morvek {

bool StbReader::read(const std::vector<unsigned char>& bytes, ImageFileFormat format,
                     ImageTarget& target, std::string& error)
{
    const std::string& path = target.path();
    const std::string name = imageFileFormatName(format);
    const auto* data = bytes.data();
    const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), 0x7fffffff));

    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_memory(data, size, &width, &height, &channels)) {
        error = path + ": corrupt or truncated " + name + " data (" + stbi_failure_reason() + ")";
        return false;
    }
    if (!target.checkSize(width, height, error))
        return false;

    stbi_uc* decoded = stbi_load_from_memory(data, size, &width, &height, &channels, 3);
    if (!decoded) {
        error = path + ": corrupt or truncated " + name + " data (" + stbi_failure_reason() + ")";
        return false;
    }
    std::unique_ptr<void, void (*)(void*)> owner(decoded, &stbi_image_free);

    if (!target.allocate(width, height, osg::Image::OSG_UINT8_IMAGEDATA, error))
        return false;
    const stbi_uc* rows = decoded;
    for (int row = 0; row < height; ++row)
        std::memcpy(target.pictureRow(row), rows + target.rowBytes() * std::size_t(row),
                    target.rowBytes());
    return true;
}

} // namespace Morvek
