// Files written here with the real encoders (OpenEXR, stb_image_write) are read back through
// loadImageFile and compared pixel by pixel. Data row 0 of an OpenSG image is the picture's
// bottom row, so picture row y must land in data row height - 1 - y.

#include "morvekShapeNodePool/ImageFile.h"

#include "ScratchFolderTest.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <osgTestSupport/LogCapture.h>

#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>

#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;
using Morvek::ImageFileFormat;
using Morvek::ImageFileInfo;

using imageFileTests::Bytes;
using imageFileTests::readBytes;
using imageFileTests::writeBytes;

// Channels in their stored types; value(name, x, y) with y = 0 the picture's top row.
void writeExr(const std::string& file, int width, int height,
              const std::vector<std::pair<const char*, Imf::PixelType>>& channels,
              const std::function<float(char, int, int)>& value, Imath::V2i corner = {0, 0})
{
    const Imath::Box2i window(corner, corner + Imath::V2i(width - 1, height - 1));
    Imf::Header header(window, window);
    std::vector<Bytes> stores;
    Imf::FrameBuffer frame;
    for (const auto& [name, type] : channels) {
        header.channels().insert(name, Imf::Channel(type));
        const std::size_t size = type == Imf::HALF ? 2 : 4;
        Bytes& store = stores.emplace_back(size * std::size_t(width * height));
        for (int i = 0; i < width * height; ++i) {
            const float v = value(name[0], i % width, i / width);
            const half h(v);
            const auto u = static_cast<std::uint32_t>(v);
            std::memcpy(&store[size * std::size_t(i)],
                        type == Imf::HALF    ? static_cast<const void*>(&h)
                        : type == Imf::FLOAT ? static_cast<const void*>(&v)
                                             : &u,
                        size);
        }
        char* base = reinterpret_cast<char*>(store.data()) -
                     std::ptrdiff_t(size) * (corner.x + std::ptrdiff_t(corner.y) * width);
        frame.insert(name, Imf::Slice(type, base, size, size * std::size_t(width)));
    }
    Imf::OutputFile out(file.c_str(), header);
    out.setFrameBuffer(frame);
    out.writePixels(height);
}

class ImageFileTest : public imageFileTests::ScratchFolderTest {
protected:
    void TearDown() override
    {
        for (osg::ImagePtr image : _images)
            osg::subRefCP(image);
        ScratchFolderTest::TearDown();
    }

    // Loads and keeps the image until the test ends; without `error`, expects none.
    osg::ImagePtr load(const std::string& file, std::string* error = nullptr,
                       ImageFileInfo* info = nullptr)
    {
        std::string ownError;
        ImageFileInfo ownInfo;
        osg::ImagePtr image =
            Morvek::loadImageFile(file, error ? *error : ownError, info ? *info : ownInfo);
        EXPECT_EQ(ownError, "");
        if (image != osg::NullFC) {
            osg::addRefCP(image);
            _images.push_back(image);
        }
        return image;
    }

    std::vector<osg::ImagePtr> _images;
};

// The image holds `expected` (picture rows top first, RGB) bottom row first, in type T.
template <class T>
void expectPicture(const osg::ImagePtr& image, int width, int height,
                   const std::vector<T>& expected, osg::Int32 type)
{
    ASSERT_NE(image, osg::NullFC);
    ASSERT_EQ(image->getWidth(), width);
    ASSERT_EQ(image->getHeight(), height);
    ASSERT_EQ(image->getPixelFormat(), osg::UInt32(osg::Image::OSG_RGB_PF));
    ASSERT_EQ(image->getDataType(), type);
    const T* data = reinterpret_cast<const T*>(image->getData());
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < 3 * width; ++i)
            EXPECT_EQ(+data[3 * width * (height - 1 - y) + i],
                      +expected[std::size_t(3 * width * y + i)])
                << "picture row " << y << ", value " << i;
}

TEST_F(ImageFileTest, OpenExrReadsFloatsWhateverTheStoredTypeRowsFlipped)
{
    // 3 x 2, every value exact as half and as uint; the float row adds values half cannot hold.
    const std::vector<float> rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const std::vector<float> fine = {1e-30f, 3e38f, -2.5f, 0.1f, 1 / 3.0f, 65504, 7,  8,  9,
                                     10,     11,    12,    13,   14,       15,    16, 17, 18};
    struct Row {
        const char* name;
        Imf::PixelType r, g, b;
        Imath::V2i corner;
        const std::vector<float>& values;
    };
    const Row rows[] = {
        {"float", Imf::FLOAT, Imf::FLOAT, Imf::FLOAT, {0, 0}, fine},
        {"half", Imf::HALF, Imf::HALF, Imf::HALF, {0, 0}, rgb},
        {"half, float and uint", Imf::HALF, Imf::FLOAT, Imf::UINT, {0, 0}, rgb},
        {"data window off the origin", Imf::FLOAT, Imf::HALF, Imf::FLOAT, {-7, 40}, rgb},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = path(std::string(row.name) + ".exr");
        writeExr(
            file, 3, 2, {{"R", row.r}, {"G", row.g}, {"B", row.b}},
            [&](char c, int x, int y) {
                return row.values[std::size_t(3 * (3 * y + x) + (c == 'R' ? 0 : c == 'G' ? 1 : 2))];
            },
            row.corner);
        expectPicture(load(file), 3, 2, row.values, osg::Image::OSG_FLOAT32_IMAGEDATA);
    }

    const float luminance[] = {0.25f, 1.5f, 3, 8, 0, 0.75f}; // a single Y channel reads as grey
    writeExr(path("grey.exr"), 3, 2, {{"Y", Imf::HALF}},
             [&](char, int x, int y) { return luminance[3 * y + x]; });
    std::vector<float> grey;
    for (float l : luminance)
        grey.insert(grey.end(), 3, l);
    expectPicture(load(path("grey.exr")), 3, 2, grey, osg::Image::OSG_FLOAT32_IMAGEDATA);
}

TEST_F(ImageFileTest, PngAndHdrRoundTrip)
{
    const Bytes rgb = {255, 0,  0,  0,   255, 0,  0, 0, 255,
                       10,  20, 30, 200, 100, 50, 1, 2, 254}; // 2 x 3
    ASSERT_TRUE(stbi_write_png(path("rgb.png").c_str(), 2, 3, 3, rgb.data(), 6));
    expectPicture(load(path("rgb.png")), 2, 3, rgb, osg::Image::OSG_UINT8_IMAGEDATA);

    const Bytes greyAlpha = {40,  255, 90,  0,
                             140, 128, 250, 7}; // 2 x 2 grey + alpha: RGB, alpha dropped
    ASSERT_TRUE(stbi_write_png(path("ga.png").c_str(), 2, 2, 2, greyAlpha.data(), 4));
    expectPicture(load(path("ga.png")), 2, 2,
                  Bytes{40, 40, 40, 90, 90, 90, 140, 140, 140, 250, 250, 250},
                  osg::Image::OSG_UINT8_IMAGEDATA);

    // RGBE keeps 8 mantissa bits per pixel: powers of two survive. stb writes flat pixels below
    // width 8 and run-length coded scan lines from 8 on.
    for (int width : {3, 9}) {
        std::vector<float> values;
        for (int i = 0; i < 2 * width; ++i) {
            const float top = float(1 << (i % width)) * (i < width ? 2.0f : 0.25f);
            values.insert(values.end(), {top, top / 2, top / 4});
        }
        const std::string file = path("w" + std::to_string(width) + ".hdr");
        ASSERT_TRUE(stbi_write_hdr(file.c_str(), width, 2, 3, values.data()));
        expectPicture(load(file), width, 2, values, osg::Image::OSG_FLOAT32_IMAGEDATA);
    }
}

TEST_F(ImageFileTest, ContentDecidesTheFormatAndAMisleadingNameIsNoted)
{
    const unsigned char rgb[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::string error;
    ImageFileInfo info;
    for (const char* name : {"really-png.exr", "no-extension"}) {
        ASSERT_TRUE(stbi_write_png(path(name).c_str(), 2, 2, 3, rgb, 6));
        EXPECT_NE(load(path(name), &error, &info), osg::NullFC) << error;
        EXPECT_EQ(info.format, ImageFileFormat::PNG);
    }
    EXPECT_EQ(info.note, "") << "a name without a known extension is no contradiction";
    load(path("really-png.exr"), &error, &info);
    const std::string note =
        path("really-png.exr") +
        ": the file holds PNG data although its name says OpenEXR; reading it as PNG";
    EXPECT_EQ(info.note, note);

    // The two-argument form logs the note as a warning instead.
    Morvek::osgTestSupport::LogCapture capture;
    osg::ImagePtr image = Morvek::loadImageFile(path("really-png.exr"), error);
    osg::addRefCP(image);
    osg::subRefCP(image);
    EXPECT_NE(capture.text().find(note), std::string::npos) << capture.text();
}

TEST_F(ImageFileTest, BadFilesGiveOneLineNamingTheFile)
{
    const Bytes black(16 * 16 * 3);
    const std::vector<float> grey(16 * 4 * 3, 0.5f);
    stbi_write_png(path("good.png").c_str(), 16, 16, 3, black.data(), 48);
    stbi_write_jpg(path("good.jpg").c_str(), 16, 16, 3, black.data(), 90);
    stbi_write_hdr(path("good.hdr").c_str(), 16, 4, 3, grey.data()); // run-length coded
    writeExr(path("good.exr"), 16, 16, {{"R", Imf::HALF}, {"G", Imf::HALF}, {"B", Imf::HALF}},
             [](char, int x, int y) { return float(x * y); });
    writeExr(path("az.exr"), 2, 2, {{"A", Imf::HALF}, {"Z", Imf::FLOAT}},
             [](char, int, int) { return 1.0f; });
    writeExr(path("rg.exr"), 2, 2, {{"R", Imf::HALF}, {"G", Imf::HALF}},
             [](char, int, int) { return 1.0f; });
    Imf::Header huge(100000, 100000);
    huge.channels().insert("R", Imf::Channel(Imf::HALF));
    huge.channels().insert("G", Imf::Channel(Imf::HALF));
    huge.channels().insert("B", Imf::Channel(Imf::HALF));
    {
        Imf::OutputFile header(path("huge.exr").c_str(), huge);
    } // a header, no pixels
    fs::create_directory(path("folder.exr"));
    writeBytes(path("empty.png"), {});
    std::ofstream(path("text.png")) << "just some text\n";
    std::ofstream(path("bare.hdr")) << "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 3\n";

    // Copies of good files, cut to `keep` bytes (negative: that many fewer) or with one byte set.
    auto cut = [&](const char* from, const char* to, long keep) {
        Bytes bytes = readBytes(path(from));
        bytes.resize(std::size_t(keep < 0 ? long(bytes.size()) + keep : keep));
        writeBytes(path(to), bytes);
    };
    cut("good.exr", "cut.exr", -40);
    cut("good.exr", "head.exr", 30);
    cut("good.png", "cut.png", -20);
    cut("good.png", "noend.png", -12);
    cut("good.jpg", "cut.jpg", -100);
    cut("good.hdr", "cut.hdr", -5);
    Bytes zeroRun = readBytes(path("good.hdr"));
    const std::string text(zeroRun.begin(), zeroRun.end());
    zeroRun[text.find("+X 16\n") + 6 + 4] = 0; // first count byte after the first scan line header
    writeBytes(path("zero.hdr"), zeroRun);

    // File, and the error after "<path>: "; a trailing "(" means "starts with".
    const std::pair<const char*, std::string> rows[] = {
        {"missing.exr", "cannot open: No such file or directory"},
        {"folder.exr", "is a directory, not an image file"},
        {"empty.png", "the file is empty"},
        {"text.png", "unknown image format (not OpenEXR, Radiance HDR, PNG or JPEG)"},
        {"az.exr", "OpenEXR image without colour channels (needs R, G and B, or Y); it has A, Z"},
        {"rg.exr", "OpenEXR image without colour channels (needs R, G and B, or Y); it has G, R"},
        {"huge.exr", "the image is larger than 65535 pixels on a side (100000 x 100000)"},
        {"cut.exr", "corrupt or truncated OpenEXR data ("},
        {"head.exr", "corrupt or truncated OpenEXR data ("},
        {"cut.png", "truncated PNG data: the stream ends inside chunk IDAT"},
        {"noend.png", "truncated PNG data: the stream ends before its end chunk (IEND)"},
        {"cut.jpg", "truncated JPEG data: the stream ends inside marker 0xC4"},
        {"cut.hdr", "truncated Radiance HDR data (16 x 4 pixels need at least 48 bytes after "
                    "the header, the file has 43)"},
        {"zero.hdr",
         "truncated or corrupt Radiance HDR data (scan line 1 holds a zero run length)"},
        {"bare.hdr", "truncated Radiance HDR data (3 x 2 pixels need at least 24 bytes after "
                     "the header, the file has 0)"},
    };
    for (const auto& [file, message] : rows) {
        std::string error;
        EXPECT_EQ(load(path(file), &error), osg::NullFC) << file;
        const std::string expected = path(file) + ": " + message;
        if (message.back() == '(')
            EXPECT_TRUE(error.rfind(expected, 0) == 0 && error.back() == ')') << error;
        else
            EXPECT_EQ(error, expected);
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// Bytes in memory decode exactly as the same bytes in a file of that name: pixels, format,
// note and error text.
TEST_F(ImageFileTest, MemoryAndFileDecodeAlike)
{
    const Bytes rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::vector<float> grey(9 * 2 * 3, 0.75f);
    ASSERT_TRUE(stbi_write_png(path("a.png").c_str(), 2, 2, 3, rgb.data(), 6));
    ASSERT_TRUE(stbi_write_jpg(path("a.jpg").c_str(), 2, 2, 3, rgb.data(), 90));
    ASSERT_TRUE(stbi_write_hdr(path("a.hdr").c_str(), 9, 2, 3, grey.data()));
    writeExr(path("a.exr"), 3, 2, {{"R", Imf::HALF}, {"G", Imf::FLOAT}, {"B", Imf::HALF}},
             [](char c, int x, int y) { return float(c + x - y); });
    writeBytes(path("png.exr"), readBytes(path("a.png"))); // a misleading name
    Bytes cut = readBytes(path("a.exr"));
    cut.resize(cut.size() - 10);
    writeBytes(path("cut.exr"), cut);
    writeBytes(path("text.hdr"), {'#', '?', 'R', 'G', 'B'});
    writeBytes(path("empty.jpg"), {});

    for (const char* name :
         {"a.png", "a.jpg", "a.hdr", "a.exr", "png.exr", "cut.exr", "text.hdr", "empty.jpg"}) {
        std::string fileError;
        ImageFileInfo fileInfo;
        const osg::ImagePtr fromFile = load(path(name), &fileError, &fileInfo);
        const Bytes bytes = readBytes(path(name));
        std::string error = "stale";
        ImageFileInfo info;
        info.note = "stale";
        osg::ImagePtr fromMemory =
            Morvek::loadImageData(bytes.data(), bytes.size(), path(name), error, info);
        EXPECT_EQ(error, fileError) << name;
        EXPECT_EQ(info.format, fileInfo.format) << name;
        EXPECT_EQ(info.note, fileInfo.note) << name;
        EXPECT_EQ(info.finiteValues, fileInfo.finiteValues) << name;
        ASSERT_EQ(fromMemory == osg::NullFC, fromFile == osg::NullFC) << name;
        if (fromMemory == osg::NullFC) {
            EXPECT_FALSE(info.finiteValues) << name;
            continue;
        }
        // Only OpenEXR can hold a NaN or an infinity; the content decides, not the name.
        EXPECT_EQ(info.finiteValues, info.format != ImageFileFormat::OpenEXR) << name;
        osg::addRefCP(fromMemory);
        _images.push_back(fromMemory);
        ASSERT_EQ(fromMemory->getSize(), fromFile->getSize()) << name;
        EXPECT_EQ(std::memcmp(fromMemory->getData(), fromFile->getData(), fromFile->getSize()), 0)
            << name;
    }

    std::string error;
    ImageFileInfo info;
    EXPECT_EQ(Morvek::loadImageData(nullptr, 0, "nothing.png", error, info), osg::NullFC);
    EXPECT_EQ(error, "nothing.png: the file is empty");
}

} // namespace
