#include "StbReader.h"

#include <stb_image.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace Morvek {

namespace {

using Bytes = std::vector<unsigned char>;

// stb reads past the end of short Radiance data as zeros (and can spin forever on a zero run
// length), so the scan lines are walked here first to make sure that they are all there.
bool checkRadianceData(const Bytes& bytes, std::string& problem)
{
    std::size_t pos = 0;
    auto readLine = [&](std::string& line) {
        line.clear();
        while (pos < bytes.size() && bytes[pos] != '\n')
            line.push_back(static_cast<char>(bytes[pos++]));
        if (pos >= bytes.size())
            return false;
        ++pos;
        return true;
    };
    std::string line;
    do {
        if (!readLine(line)) {
            problem = "the header ends early";
            return false;
        }
    } while (!line.empty());
    if (!readLine(line)) {
        problem = "the size line is missing";
        return false;
    }
    int height = 0;
    int width = 0;
    if (std::sscanf(line.c_str(), "-Y %d +X %d", &height, &width) != 2 || width <= 0 || height <= 0)
        return true; // a layout stb does not read: let it say so

    const std::size_t end = bytes.size();
    auto flatRest = [&](std::size_t pixels) {
        if (end - pos < pixels * 4) {
            problem = "the pixel data ends early";
            return false;
        }
        return true;
    };
    const std::size_t all = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width < 8 || width >= 32768)
        return flatRest(all);
    for (int row = 0; row < height; ++row) {
        if (end - pos < 4) {
            problem = "scan line " + std::to_string(row + 1) + " of " + std::to_string(height) +
                      " is missing";
            return false;
        }
        if (bytes[pos] != 2 || bytes[pos + 1] != 2 || (bytes[pos + 2] & 0x80))
            return flatRest(all); // not run-length coded: stb restarts with flat pixels here
        pos += 4;
        for (int channel = 0; channel < 4; ++channel) {
            for (int x = 0; x < width;) {
                if (pos >= end) {
                    problem = "scan line " + std::to_string(row + 1) + " of " +
                              std::to_string(height) + " ends early";
                    return false;
                }
                int count = bytes[pos++];
                if (count == 0) {
                    problem = "scan line " + std::to_string(row + 1) + " holds a zero run length";
                    return false;
                }
                const bool run = count > 128;
                if (run)
                    count -= 128;
                const std::size_t need = run ? 1 : static_cast<std::size_t>(count);
                if (count > width - x || end - pos < need) {
                    problem = "scan line " + std::to_string(row + 1) + " of " +
                              std::to_string(height) +
                              (count > width - x ? " overruns its width" : " ends early");
                    return false;
                }
                pos += need;
                x += count;
            }
        }
    }
    return true;
}

} // namespace

bool StbReader::read(const std::vector<unsigned char>& bytes, ImageFileFormat format,
                     ImageTarget& target, std::string& error)
{
    const std::string& path = target.path();
    const std::string name = imageFileFormatName(format);
    if (format == ImageFileFormat::RadianceHDR) {
        std::string problem;
        if (!checkRadianceData(bytes, problem)) {
            error = path + ": truncated or corrupt Radiance HDR data (" + problem + ")";
            return false;
        }
    }
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

    const bool asFloat = format == ImageFileFormat::RadianceHDR;
    void* decoded =
        asFloat
            ? static_cast<void*>(stbi_loadf_from_memory(data, size, &width, &height, &channels, 3))
            : static_cast<void*>(stbi_load_from_memory(data, size, &width, &height, &channels, 3));
    if (!decoded) {
        error = path + ": corrupt or truncated " + name + " data (" + stbi_failure_reason() + ")";
        return false;
    }
    std::unique_ptr<void, void (*)(void*)> owner(decoded, &stbi_image_free);

    if (!target.allocate(
            width, height,
            asFloat ? osg::Image::OSG_FLOAT32_IMAGEDATA : osg::Image::OSG_UINT8_IMAGEDATA, error))
        return false;
    const auto* rows = static_cast<const unsigned char*>(decoded);
    for (int row = 0; row < height; ++row)
        std::memcpy(target.pictureRow(row), rows + target.rowBytes() * std::size_t(row),
                    target.rowBytes());
    return true;
}

} // namespace Morvek
