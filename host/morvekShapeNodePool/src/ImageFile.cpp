#include "morvekShapeNodePool/ImageFile.h"

#include <OpenSG/OSGLog.h>

#include <OpenEXR/Iex.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfInputFile.h>

#include <stb_image.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace Morvek {

namespace {

using Bytes = std::vector<unsigned char>;

// OpenEXR reads through this view of the file's bytes, so that every format is read from the
// same buffer and a short file reports itself the same way everywhere.
class ByteStream : public Imf::IStream {
public:
    ByteStream(const Bytes& bytes, const char* name) : Imf::IStream(name), _bytes(bytes) {}

    bool read(char c[], int n) override
    {
        if (n < 0 || _pos + static_cast<std::uint64_t>(n) > _bytes.size())
            throw Iex::InputExc("unexpected end of file");
        std::memcpy(c, _bytes.data() + _pos, static_cast<std::size_t>(n));
        _pos += static_cast<std::uint64_t>(n);
        return _pos < _bytes.size();
    }
    std::uint64_t tellg() override { return _pos; }
    void seekg(std::uint64_t pos) override { _pos = pos; }
    void clear() override {}

private:
    const Bytes& _bytes;
    std::uint64_t _pos = 0;
};

std::string lowerExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// Reads the whole file. Fails for a missing, unreadable, non-regular or empty file.
bool readFile(const std::string& path, Bytes& bytes, std::string& error)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = path + ": is a directory, not an image file";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    bytes.clear();
    unsigned char chunk[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    if (std::ferror(file.get())) {
        error = path + ": cannot read: " + std::strerror(errno);
        return false;
    }
    if (bytes.empty()) {
        error = path + ": the file is empty";
        return false;
    }
    return true;
}

// A decoded picture, top row first as every file format stores it, before it becomes an image.
struct Picture {
    int width = 0;
    int height = 0;
    osg::Int32 dataType = osg::Image::OSG_UINT8_IMAGEDATA;
    std::vector<unsigned char> pixels; // width * height RGB pixels, tightly packed
};

bool checkSize(long long width, long long height, const std::string& path, std::string& error)
{
    if (width <= 0 || height <= 0) {
        error = path + ": the image has no pixels (" + std::to_string(width) + " x " +
                std::to_string(height) + ")";
        return false;
    }
    if (static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) >
        maxImageFilePixels) {
        error = path + ": the image is too large to load (" + std::to_string(width) + " x " +
                std::to_string(height) + " pixels, at most " + std::to_string(maxImageFilePixels) +
                ")";
        return false;
    }
    return true;
}

bool decodeExr(const Bytes& bytes, const std::string& path, Picture& picture, std::string& error)
{
    try {
        ByteStream stream(bytes, path.c_str());
        Imf::InputFile file(stream);
        const Imf::Header& header = file.header();
        const Imath::Box2i window = header.dataWindow();
        const long long width = static_cast<long long>(window.max.x) - window.min.x + 1;
        const long long height = static_cast<long long>(window.max.y) - window.min.y + 1;
        if (!checkSize(width, height, path, error))
            return false;

        const Imf::ChannelList& channels = header.channels();
        const bool hasR = channels.findChannel("R") != nullptr;
        const bool hasG = channels.findChannel("G") != nullptr;
        const bool hasB = channels.findChannel("B") != nullptr;
        const bool grey = !(hasR || hasG || hasB) && channels.findChannel("Y") != nullptr;
        if (!grey && !(hasR && hasG && hasB)) {
            std::string found;
            for (auto it = channels.begin(); it != channels.end(); ++it)
                found += (found.empty() ? "" : ", ") + std::string(it.name());
            error = path +
                    ": OpenEXR image without colour channels (needs R, G and B, or Y); it has " +
                    (found.empty() ? std::string("no channels") : found);
            return false;
        }

        picture.width = static_cast<int>(width);
        picture.height = static_cast<int>(height);
        picture.dataType = osg::Image::OSG_FLOAT32_IMAGEDATA;
        const std::size_t pixelBytes = 3 * sizeof(float);
        const std::size_t rowBytes = pixelBytes * static_cast<std::size_t>(width);
        picture.pixels.assign(rowBytes * static_cast<std::size_t>(height), 0);

        // OpenEXR addresses a pixel as base + x * xStride + y * yStride with the data window's
        // own coordinates, so the base is moved back by the window's corner.
        char* base =
            reinterpret_cast<char*>(picture.pixels.data()) -
            static_cast<std::ptrdiff_t>(window.min.x) * static_cast<std::ptrdiff_t>(pixelBytes) -
            static_cast<std::ptrdiff_t>(window.min.y) * static_cast<std::ptrdiff_t>(rowBytes);
        Imf::FrameBuffer frame;
        const char* names[3] = {"R", "G", "B"};
        for (int c = 0; c < (grey ? 1 : 3); ++c)
            frame.insert(grey ? "Y" : names[c],
                         Imf::Slice(Imf::FLOAT, base + c * sizeof(float), pixelBytes, rowBytes));
        file.setFrameBuffer(frame);
        file.readPixels(window.min.y, window.max.y);

        if (grey) {
            float* p = reinterpret_cast<float*>(picture.pixels.data());
            for (std::size_t i = 0, n = static_cast<std::size_t>(width * height); i < n; ++i)
                p[3 * i + 1] = p[3 * i + 2] = p[3 * i];
        }
        return true;
    } catch (const std::exception& e) {
        error = path + ": corrupt or truncated OpenEXR data (" + e.what() + ")";
        return false;
    }
}

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

bool decodeWithStb(const Bytes& bytes, ImageFileFormat format, const std::string& path,
                   Picture& picture, std::string& error)
{
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
    if (!checkSize(width, height, path, error))
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

    const std::size_t count =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    picture.width = width;
    picture.height = height;
    if (asFloat) {
        picture.dataType = osg::Image::OSG_FLOAT32_IMAGEDATA;
        picture.pixels.resize(count * sizeof(float));
        std::memcpy(picture.pixels.data(), decoded, count * sizeof(float));
    } else {
        picture.dataType = osg::Image::OSG_UINT8_IMAGEDATA;
        const auto* in = static_cast<const unsigned char*>(decoded);
        picture.pixels.assign(in, in + count);
    }
    return true;
}

// The picture's rows enter the image bottom row first, as OpenSG keeps images.
osg::ImagePtr makeImage(const Picture& picture, const std::string& path, std::string& error)
{
    osg::ImagePtr image = osg::Image::create();
    if (image == osg::NullFC) {
        error = path + ": cannot create an image (OpenSG is not initialised)";
        return osg::NullFC;
    }
    const std::size_t rowBytes = picture.pixels.size() / static_cast<std::size_t>(picture.height);
    std::vector<unsigned char> flipped(picture.pixels.size());
    for (int row = 0; row < picture.height; ++row)
        std::memcpy(flipped.data() + rowBytes * static_cast<std::size_t>(picture.height - 1 - row),
                    picture.pixels.data() + rowBytes * static_cast<std::size_t>(row), rowBytes);
    osg::beginEditCP(image);
    image->set(osg::Image::OSG_RGB_PF, picture.width, picture.height, 1, 1, 1, 0.0, flipped.data(),
               picture.dataType);
    osg::endEditCP(image);
    return image;
}

} // namespace

const char* imageFileFormatName(ImageFileFormat format)
{
    switch (format) {
    case ImageFileFormat::OpenEXR:
        return "OpenEXR";
    case ImageFileFormat::RadianceHDR:
        return "Radiance HDR";
    case ImageFileFormat::PNG:
        return "PNG";
    case ImageFileFormat::JPEG:
        return "JPEG";
    case ImageFileFormat::Unknown:
        break;
    }
    return "unknown";
}

ImageFileFormat detectImageFileFormat(const unsigned char* head, std::size_t size)
{
    auto startsWith = [&](const char* magic, std::size_t n) {
        return size >= n && std::memcmp(head, magic, n) == 0;
    };
    if (startsWith("\x76\x2f\x31\x01", 4))
        return ImageFileFormat::OpenEXR;
    if (startsWith("\x89PNG\r\n\x1a\n", 8))
        return ImageFileFormat::PNG;
    if (startsWith("\xff\xd8\xff", 3))
        return ImageFileFormat::JPEG;
    if (startsWith("#?RADIANCE", 10) || startsWith("#?RGBE", 6))
        return ImageFileFormat::RadianceHDR;
    return ImageFileFormat::Unknown;
}

ImageFileFormat imageFileFormatFromName(const std::string& path)
{
    const std::string ext = lowerExtension(path);
    if (ext == "exr")
        return ImageFileFormat::OpenEXR;
    if (ext == "hdr" || ext == "pic")
        return ImageFileFormat::RadianceHDR;
    if (ext == "png")
        return ImageFileFormat::PNG;
    if (ext == "jpg" || ext == "jpeg")
        return ImageFileFormat::JPEG;
    return ImageFileFormat::Unknown;
}

osg::ImagePtr loadImageFile(const std::string& path, std::string& error, ImageFileInfo& info)
{
    error.clear();
    info = ImageFileInfo();
    Bytes bytes;
    if (!readFile(path, bytes, error))
        return osg::NullFC;

    info.format = detectImageFileFormat(bytes.data(), bytes.size());
    if (info.format == ImageFileFormat::Unknown) {
        error = path + ": unknown image format (not OpenEXR, Radiance HDR, PNG or JPEG)";
        return osg::NullFC;
    }
    const ImageFileFormat named = imageFileFormatFromName(path);
    if (named != ImageFileFormat::Unknown && named != info.format)
        info.note = path + ": the file holds " + imageFileFormatName(info.format) +
                    " data although its name says " + imageFileFormatName(named) +
                    "; reading it as " + imageFileFormatName(info.format);

    Picture picture;
    try {
        const bool decoded = info.format == ImageFileFormat::OpenEXR
                                 ? decodeExr(bytes, path, picture, error)
                                 : decodeWithStb(bytes, info.format, path, picture, error);
        if (!decoded)
            return osg::NullFC;
        bytes = Bytes();
        return makeImage(picture, path, error);
    } catch (const std::bad_alloc&) {
        error = path + ": out of memory while decoding the image";
        return osg::NullFC;
    }
}

osg::ImagePtr loadImageFile(const std::string& path, std::string& error)
{
    ImageFileInfo info;
    osg::ImagePtr image = loadImageFile(path, error, info);
    if (!info.note.empty())
        SWARNING << info.note << std::endl;
    return image;
}

} // namespace Morvek
