#include "morvekShapeNodePool/ImageFile.h"

#include "ExrReader.h"
#include "ImageTarget.h"
#include "JpegReader.h"
#include "RadianceReader.h"
#include "StbReader.h"

#include <OpenSG/OSGLog.h>

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace Morvek {

namespace {

using Bytes = std::vector<unsigned char>;

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

// Reads the whole file. Fails for a missing or unreadable file and for a directory.
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
    return true;
}

} // namespace

void setImageFileDecodeThreads(bool useThreads) { ExrReader::setUseThreads(useThreads); }

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

namespace {

// What the file path and the in-memory entry share once the bytes are at hand: `name` stands
// for the file in the error text and in the note.
osg::ImagePtr decodeBytes(const Bytes& bytes, const std::string& name, std::string& error,
                          ImageFileInfo& info)
{
    if (bytes.empty()) {
        error = name + ": the file is empty";
        return osg::NullFC;
    }
    info.format = detectImageFileFormat(bytes.data(), bytes.size());
    if (info.format == ImageFileFormat::Unknown) {
        error = name + ": unknown image format (not OpenEXR, Radiance HDR, PNG or JPEG)";
        return osg::NullFC;
    }
    const ImageFileFormat named = imageFileFormatFromName(name);
    if (named != ImageFileFormat::Unknown && named != info.format)
        info.note = name + ": the file holds " + imageFileFormatName(info.format) +
                    " data although its name says " + imageFileFormatName(named) +
                    "; reading it as " + imageFileFormatName(info.format);

    ImageTarget target(name);
    try {
        const bool decoded =
            info.format == ImageFileFormat::OpenEXR ? ExrReader::read(bytes, target, error)
            : info.format == ImageFileFormat::RadianceHDR
                ? RadianceReader::read(bytes, target, error)
            : info.format == ImageFileFormat::JPEG ? JpegReader::read(bytes, target, error)
                                                   : StbReader::read(bytes, target, error);
        if (!decoded)
            return osg::NullFC;
        info.finiteValues = info.format != ImageFileFormat::OpenEXR;
        return target.release();
    } catch (const std::bad_alloc&) {
        error = name + ": out of memory while decoding the image";
        return osg::NullFC;
    }
}

} // namespace

osg::ImagePtr loadImageFile(const std::string& path, std::string& error, ImageFileInfo& info)
{
    error.clear();
    info = ImageFileInfo();
    Bytes bytes;
    if (!readFile(path, bytes, error))
        return osg::NullFC;
    return decodeBytes(bytes, path, error, info);
}

osg::ImagePtr loadImageData(const unsigned char* data, std::size_t size, const std::string& name,
                            std::string& error, ImageFileInfo& info)
{
    error.clear();
    info = ImageFileInfo();
    try {
        const Bytes bytes(data, data + (data ? size : 0));
        return decodeBytes(bytes, name, error, info);
    } catch (const std::bad_alloc&) {
        error = name + ": out of memory while decoding the image";
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
