#pragma once

// Reading picture files into OpenSG images.
//
// Supported: OpenEXR (.exr), Radiance RGBE (.hdr), PNG and JPEG. The format is decided by the
// file's first bytes, not by its name; a known extension that disagrees with the content is
// reported as a note and the content wins.
//
// What the image holds afterwards:
//   - OpenEXR: OSG_RGB_PF + OSG_FLOAT32_IMAGEDATA. R, G and B are read as 32-bit floats whatever
//     their stored type (half, float or uint). A file with a single Y channel (and no R, G, B)
//     is read as grey: Y is copied into R, G and B, so the image is RGB float as well.
//   - Radiance HDR: OSG_RGB_PF + OSG_FLOAT32_IMAGEDATA (linear values, as stored). RGBE pixels
//     in the usual orientation (-Y height +X width) only; XYZE files, other orientations and
//     old-style repeat pixels are refused.
//   - PNG and JPEG: OSG_RGB_PF + OSG_UINT8_IMAGEDATA, the bytes unchanged (grey pictures are
//     expanded to RGB, alpha is dropped, 16-bit PNGs are cut to 8 bits by stb).
// Rows are stored as OpenSG stores images: data row 0 is the BOTTOM row of the picture.
//
// Errors never throw and never stop the process: the loader returns NullFC and a one-line text
// that starts with the path.

#include <OpenSG/OSGImage.h>

#include <cstddef>
#include <string>

namespace Morvek {

/// Picture file formats the loader knows.
enum class ImageFileFormat { Unknown, OpenEXR, RadianceHDR, PNG, JPEG };

/// Human-readable name ("OpenEXR", "Radiance HDR", "PNG", "JPEG", "unknown").
const char* imageFileFormatName(ImageFileFormat format);

/// The format announced by a file's first bytes (`size` of them are available; 10 suffice).
ImageFileFormat detectImageFileFormat(const unsigned char* head, std::size_t size);

/// The format a file name suggests by its extension, case-insensitively
/// (.exr, .hdr/.pic, .png, .jpg/.jpeg); Unknown for any other name.
ImageFileFormat imageFileFormatFromName(const std::string& path);

/// What a successful load found out besides the pixels.
struct ImageFileInfo {
    ImageFileFormat format = ImageFileFormat::Unknown; ///< decided by the content
    std::string note; ///< a non-fatal remark (name and content disagree); empty when none
    /// True when the format cannot store a NaN or an infinity, so every decoded value is finite
    /// (Radiance: its largest value is 255 x 2^119; PNG and JPEG hold bytes). OpenEXR's
    /// half and float channels can hold both: false.
    bool finiteValues = false;
};

/// Largest image the loader accepts: at most maxImageFileSide pixels on a side (what the
/// environment light's tables take) and at most maxImageFilePixels in all, so that the picture
/// as float RGB (12 bytes a pixel) fits in an OpenSG image's 2 GiB pixel store. Larger headers
/// are refused before any pixel is allocated.
constexpr long long maxImageFileSide = 65535;
constexpr unsigned long long maxImageFilePixels = (1ull << 31) / 12;

/// Loads `path`. On success returns a new image (reference count 0, as a fresh OpenSG
/// container) and clears `error`; on failure returns NullFC and sets `error` to one line naming
/// the file. A note (see ImageFileInfo) goes to the OpenSG log as a warning.
osg::ImagePtr loadImageFile(const std::string& path, std::string& error);

/// The same, handing the note to the caller in `info` instead of logging it.
osg::ImagePtr loadImageFile(const std::string& path, std::string& error, ImageFileInfo& info);

/// Decodes an image held in memory (`size` bytes at `data`) exactly as loadImageFile decodes a
/// file; `name` stands for the file in `error` and in the note, and its extension is compared
/// with the content as a file name's would be.
osg::ImagePtr loadImageData(const unsigned char* data, std::size_t size, const std::string& name,
                            std::string& error, ImageFileInfo& info);

/// Whether a decoder may spread one image over threads of its own (OpenEXR's pool, one thread
/// per core; the default) or decodes on the calling thread. A program that already loads
/// several images at once on its own threads turns this off: the cores are busy, and handing
/// chunks to another pool only adds waiting.
void setImageFileDecodeThreads(bool useThreads);

} // namespace Morvek
