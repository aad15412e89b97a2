#pragma once

#include <morvekSampling/EnvironmentImage.h>

#include <cstddef>
#include <cstdint>

namespace Morvek {

// Reads the pixels of an environment image as linear RGB colours and their energies.
//
// How each format maps to a colour:
// - luminance and intensity (1 component) and luminance-alpha (2): grey (l, l, l), alpha ignored;
// - RGB, BGR (stored blue first) and RGBA (3 and 4 components): alpha ignored;
// - DXT1 (RGB and RGBA), DXT3, DXT5: the S3TC blocks are decoded to bytes, alpha ignored;
//   the image's data type is not consulted for these, their blocks are bytes by definition.
// A component is read by data type: 32-bit float unchanged, 16-bit half float converted
// exactly, unsigned byte divided by 255 in single precision. Colours are neither clamped nor
// gamma-decoded. Nothing is ever read beyond `EnvironmentImage::size` bytes.
class PixelDecoder {
public:
    // Pixel formats (OpenGL enumerants, the values osg::Image stores).
    static constexpr std::uint32_t luminanceFormat = 0x1909;
    static constexpr std::uint32_t intensityFormat = 0x8049;
    static constexpr std::uint32_t luminanceAlphaFormat = 0x190A;
    static constexpr std::uint32_t rgbFormat = 0x1907;
    static constexpr std::uint32_t bgrFormat = 0x80E0;
    static constexpr std::uint32_t rgbaFormat = 0x1908;
    static constexpr std::uint32_t rgbDxt1Format = 0x83F0;
    static constexpr std::uint32_t rgbaDxt1Format = 0x83F1;
    static constexpr std::uint32_t rgbaDxt3Format = 0x83F2;
    static constexpr std::uint32_t rgbaDxt5Format = 0x83F3;

    // Data types read (OpenGL enumerants).
    static constexpr std::int32_t unsignedByteType = 0x1401;
    static constexpr std::int32_t floatType = 0x1406;
    static constexpr std::int32_t halfFloatType = 0x140B; // GL_HALF_FLOAT_NV

    // Luminance weights of a colour's energy, single precision. They are fixed by design and
    // are deliberately not the Rec. 709 values (0.2126, 0.7152, 0.0722).
    static constexpr float redWeight = 0.2125f;
    static constexpr float greenWeight = 0.7154f;
    static constexpr float blueWeight = 0.0721f;

    // Table sizes are kept in 16 bits, so neither side may exceed this.
    static constexpr std::int32_t maxSide = 65535;

    enum class Verdict {
        Readable,            // every pixel can be decoded
        BadSize,             // width or height negative or above maxSide
        UnknownFormat,       // a pixel format outside the table above
        UnsupportedDataType, // an uncompressed format of another data type: pixels read as black
        DataTooShort         // fewer bytes than the size and format imply
    };

    // What an image's size, format and data type say about its pixels, worked out once by
    // describe and handed to everything that reads them.
    struct Layout {
        Verdict verdict = Verdict::UnknownFormat;
        std::uint64_t channels = 0;      // components per pixel; 0 for an unknown format
        std::size_t componentBytes = 0;  // of an uncompressed format's readable data type, or 0
        std::size_t blockBytes = 0;      // per 4x4 block of a DXT format; 0 for other formats
        std::uint64_t requiredBytes = 0; // pixel data the size and format imply, 0 if unreadable
    };
    static Layout describe(const EnvironmentImage& image);

    // Components per pixel of a pixel format; 0 for a format outside the table.
    static std::uint64_t numChannels(std::uint32_t pixelFormat);
    static bool isBlockCompressed(std::uint32_t pixelFormat);
    // Bytes per component of a readable data type; 0 for any other.
    static std::size_t componentBytes(std::int32_t dataType);
    // Bytes of pixel data the image's size and format imply; 0 when the format or the data
    // type is not readable.
    static std::uint64_t requiredBytes(const EnvironmentImage& image)
    {
        return describe(image).requiredBytes;
    }
    static Verdict check(const EnvironmentImage& image) { return describe(image).verdict; }

    // Energy of a colour: (r * 0.2125 + g * 0.7154) + b * 0.0721, in this order.
    static float energy(float r, float g, float b)
    {
        return (r * redWeight + g * greenWeight) + b * blueWeight;
    }

    // The colour of pixel (x, y); (0, 0, 0) when the image is not readable or the pixel lies
    // outside the image or its data. `layout` is describe(image).
    static void colorAt(const EnvironmentImage& image, const Layout& layout, int x, int y,
                        float rgb[3]);
    static void colorAt(const EnvironmentImage& image, int x, int y, float rgb[3])
    {
        colorAt(image, describe(image), x, y, rgb);
    }

    // Decodes `count` pixels of row y from column x0 on into quadruples (r, g, b, energy).
    // Expects layout == describe(image), its verdict Readable and the run inside the image.
    static void decodeRun(const EnvironmentImage& image, const Layout& layout, int y, int x0,
                          int count, float* rgbe);
};

} // namespace Morvek
