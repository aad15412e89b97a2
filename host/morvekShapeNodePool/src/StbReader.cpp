#include "StbReader.h"

#include "JpegStream.h"
#include "PngStream.h"
#include "StbImage.h"

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
    PngStream png;
    if (format == ImageFileFormat::PNG && !png.check(bytes, target, error))
        return false;
    if (format == ImageFileFormat::JPEG && !JpegStream::check(bytes, target, error))
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
        error = path + ": corrupt or truncated " + name + " data" +
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

    const bool asFloat = format == ImageFileFormat::RadianceHDR;
    void* decoded = asFloat ? static_cast<void*>(StbImage::loadFloat(data, size, width, height))
                            : static_cast<void*>(StbImage::load8(data, size, width, height));
    if (!decoded)
        return failed();
    std::unique_ptr<void, void (*)(void*)> owner(decoded, &StbImage::release);

    if (!target.allocate(
            width, height,
            asFloat ? osg::Image::OSG_FLOAT32_IMAGEDATA : osg::Image::OSG_UINT8_IMAGEDATA, error))
        return false;
    const auto* rows = static_cast<const unsigned char*>(decoded);
    if (paletteEntries) {
        const std::vector<unsigned char> palette = png.palette(bytes);
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
