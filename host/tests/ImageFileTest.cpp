// Picture files written here with the real encoders (OpenEXR, stb_image_write) are read back
// through loadImageFile and compared pixel by pixel, rows counted as OpenSG stores them: data
// row 0 is the bottom row of the picture.

#include "morvekShapeNodePool/ImageFile.h"

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGImage.h>
#include <OpenSG/OSGLogCapture.h>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>
#include <Imath/half.h>

#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

extern "C" unsigned char* stbi_zlib_compress(unsigned char* data, int data_len, int* out_len, int quality);

namespace fs = std::filesystem;
using Morvek::ImageFileFormat;
using Morvek::ImageFileInfo;
using Morvek::loadImageFile;

namespace {

// One folder per test, removed afterwards.
class ImageFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        osg::osgInit(0, nullptr);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        _dir = fs::temp_directory_path() /
               ("morvek-imagefile-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(_dir);
        fs::create_directories(_dir);
    }
    void TearDown() override
    {
        for (osg::ImagePtr image : _images)
            osg::subRefCP(image);
        fs::remove_all(_dir);
    }

    std::string path(const std::string& name) const { return (_dir / name).string(); }

    // Loads and keeps the image alive until the test ends.
    osg::ImagePtr load(const std::string& file, std::string& error, ImageFileInfo* info = nullptr)
    {
        ImageFileInfo local;
        osg::ImagePtr image = loadImageFile(file, error, info ? *info : local);
        if (image != osg::NullFC) {
            osg::addRefCP(image);
            _images.push_back(image);
        }
        return image;
    }

    osg::ImagePtr loadOk(const std::string& file)
    {
        std::string error;
        osg::ImagePtr image = load(file, error);
        EXPECT_NE(image, osg::NullFC) << error;
        EXPECT_EQ(error, "");
        return image;
    }

    fs::path _dir;
    std::vector<osg::ImagePtr> _images;
};

// Picture rows as a test writes them: top row first, RGB interleaved.
struct FloatPicture {
    int width;
    int height;
    std::vector<float> rgb;
};

const float* floatPixel(const osg::ImagePtr& image, int x, int dataRow)
{
    const auto* data = reinterpret_cast<const float*>(image->getData());
    return data + 3 * (dataRow * image->getWidth() + x);
}

const unsigned char* bytePixel(const osg::ImagePtr& image, int x, int dataRow)
{
    return image->getData() + 3 * (dataRow * image->getWidth() + x);
}

// The picture's row y (0 = top) must be data row height-1-y, value for value.
void expectFloatRowsFlipped(const osg::ImagePtr& image, const FloatPicture& picture)
{
    ASSERT_EQ(image->getWidth(), picture.width);
    ASSERT_EQ(image->getHeight(), picture.height);
    ASSERT_EQ(image->getPixelFormat(), static_cast<osg::UInt32>(osg::Image::OSG_RGB_PF));
    ASSERT_EQ(image->getDataType(), static_cast<osg::Int32>(osg::Image::OSG_FLOAT32_IMAGEDATA));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(floatPixel(image, x, picture.height - 1 - y)[c],
                          picture.rgb[3 * (y * picture.width + x) + c])
                    << "picture pixel (" << x << ", " << y << ") channel " << c;
}

// Writes the named channels with the given pixel types; `values(name, x, y)` gives each value.
void writeExr(const std::string& file, int width, int height,
              const std::vector<std::pair<const char*, Imf::PixelType>>& channels,
              const std::function<float(const char*, int, int)>& values,
              Imath::V2i corner = Imath::V2i(0, 0))
{
    Imf::Header header(Imath::Box2i(corner, corner + Imath::V2i(width - 1, height - 1)),
                       Imath::Box2i(corner, corner + Imath::V2i(width - 1, height - 1)));
    for (const auto& [name, type] : channels)
        header.channels().insert(name, Imf::Channel(type));

    // Each channel in its stored type, so that half and uint data really reach the file.
    std::vector<std::vector<unsigned char>> stores;
    Imf::FrameBuffer frame;
    for (const auto& [name, type] : channels) {
        const std::size_t size = type == Imf::HALF ? 2 : 4;
        stores.emplace_back(size * static_cast<std::size_t>(width * height));
        unsigned char* store = stores.back().data();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const float v = values(name, x, y);
                unsigned char* at = store + size * static_cast<std::size_t>(y * width + x);
                if (type == Imf::HALF) {
                    const half h(v);
                    std::memcpy(at, &h, 2);
                } else if (type == Imf::FLOAT) {
                    std::memcpy(at, &v, 4);
                } else {
                    const auto u = static_cast<std::uint32_t>(v);
                    std::memcpy(at, &u, 4);
                }
            }
        char* base = reinterpret_cast<char*>(store) -
                     static_cast<std::ptrdiff_t>(size) * (corner.x + static_cast<std::ptrdiff_t>(corner.y) * width);
        frame.insert(name, Imf::Slice(type, base, size, size * static_cast<std::size_t>(width)));
    }
    Imf::OutputFile out(file.c_str(), header);
    out.setFrameBuffer(frame);
    out.writePixels(height);
}

std::vector<unsigned char> readBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& file, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void truncateFile(const std::string& file, std::size_t keep)
{
    std::vector<unsigned char> bytes = readBytes(file);
    ASSERT_GT(bytes.size(), keep);
    bytes.resize(keep);
    writeBytes(file, bytes);
}

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendChunk(std::vector<unsigned char>& png, const char* type, const std::vector<unsigned char>& body)
{
    auto put32 = [&](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8)
            png.push_back(static_cast<unsigned char>(v >> s));
    };
    put32(static_cast<std::uint32_t>(body.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), body.begin(), body.end());
    put32(crc32(png.data() + start, png.size() - start));
}

// A 16-bit RGB PNG (stb_image_write only writes 8-bit ones): the rows big-endian, filter 0.
std::vector<unsigned char> png16(int width, int height, const std::vector<std::uint16_t>& rgb)
{
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<unsigned char> ihdr = {
        0, 0, 0, static_cast<unsigned char>(width), 0, 0, 0, static_cast<unsigned char>(height),
        16, 2, 0, 0, 0};
    appendChunk(png, "IHDR", ihdr);
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int i = 0; i < 3 * width; ++i) {
            const std::uint16_t v = rgb[static_cast<std::size_t>(3 * width * y + i)];
            raw.push_back(static_cast<unsigned char>(v >> 8));
            raw.push_back(static_cast<unsigned char>(v & 0xff));
        }
    }
    int packedSize = 0;
    unsigned char* packed = stbi_zlib_compress(raw.data(), static_cast<int>(raw.size()), &packedSize, 8);
    appendChunk(png, "IDAT", std::vector<unsigned char>(packed, packed + packedSize));
    std::free(packed);
    appendChunk(png, "IEND", {});
    return png;
}

TEST_F(ImageFileTest, OpenExrChannelsOfEveryStoredTypeReadAsFloatWithRowsFlipped)
{
    // 3 x 2 picture; every value is exact in half precision and as a whole uint.
    const FloatPicture picture{3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9,  //
                                      10, 11, 12, 13, 14, 15, 16, 17, 18}};
    auto value = [&](const char* name, int x, int y) {
        const int c = name[0] == 'R' ? 0 : name[0] == 'G' ? 1 : 2;
        return picture.rgb[static_cast<std::size_t>(3 * (y * picture.width + x) + c)];
    };
    struct Row {
        const char* name;
        Imf::PixelType r, g, b;
        Imath::V2i corner;
    };
    const Row rows[] = {
        {"float", Imf::FLOAT, Imf::FLOAT, Imf::FLOAT, {0, 0}},
        {"half", Imf::HALF, Imf::HALF, Imf::HALF, {0, 0}},
        {"mixed half float uint", Imf::HALF, Imf::FLOAT, Imf::UINT, {0, 0}},
        {"data window away from the origin", Imf::FLOAT, Imf::HALF, Imf::FLOAT, {-7, 40}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = path(std::string(row.name) + ".exr");
        writeExr(file, picture.width, picture.height, {{"R", row.r}, {"G", row.g}, {"B", row.b}},
                 value, row.corner);
        osg::ImagePtr image = loadOk(file);
        if (image != osg::NullFC)
            expectFloatRowsFlipped(image, picture);
    }
}

TEST_F(ImageFileTest, OpenExrKeepsFloatPrecisionAndSpecialValues)
{
    const float tiny = 1.0e-30f;  // below half's range: must survive as float
    const float big = 3.0e38f;
    const float inf = std::numeric_limits<float>::infinity();
    const FloatPicture picture{2, 2, {tiny, big, -2.5f, 0.1f, 1.0f / 3.0f, -inf,  //
                                      inf, 0.0f, 65504.0f, 7.0f, 8.0f, 9.0f}};
    writeExr(path("precise.exr"), 2, 2, {{"R", Imf::FLOAT}, {"G", Imf::FLOAT}, {"B", Imf::FLOAT}},
             [&](const char* name, int x, int y) {
                 const int c = name[0] == 'R' ? 0 : name[0] == 'G' ? 1 : 2;
                 return picture.rgb[static_cast<std::size_t>(3 * (y * 2 + x) + c)];
             });
    osg::ImagePtr image = loadOk(path("precise.exr"));
    ASSERT_NE(image, osg::NullFC);
    expectFloatRowsFlipped(image, picture);
}

TEST_F(ImageFileTest, OpenExrWithOnlyLuminanceReadsAsGreyRgb)
{
    const float luminance[2][3] = {{0.25f, 1.5f, 3.0f}, {8.0f, 0.0f, 0.75f}};  // [row from top][x]
    writeExr(path("grey.exr"), 3, 2, {{"Y", Imf::HALF}},
             [&](const char*, int x, int y) { return luminance[y][x]; });
    osg::ImagePtr image = loadOk(path("grey.exr"));
    ASSERT_NE(image, osg::NullFC);
    FloatPicture expected{3, 2, {}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            expected.rgb.insert(expected.rgb.end(), 3, luminance[y][x]);
    expectFloatRowsFlipped(image, expected);
}

TEST_F(ImageFileTest, PngAndJpegStayEightBitWithRowsFlipped)
{
    // 2 x 3 picture, top row first.
    const unsigned char rgb[] = {255, 0, 0, 0, 255, 0,  //
                                 0, 0, 255, 10, 20, 30,  //
                                 200, 100, 50, 1, 2, 254};
    ASSERT_TRUE(stbi_write_png(path("rgb.png").c_str(), 2, 3, 3, rgb, 2 * 3));
    osg::ImagePtr image = loadOk(path("rgb.png"));
    ASSERT_NE(image, osg::NullFC);
    EXPECT_EQ(image->getPixelFormat(), static_cast<osg::UInt32>(osg::Image::OSG_RGB_PF));
    EXPECT_EQ(image->getDataType(), static_cast<osg::Int32>(osg::Image::OSG_UINT8_IMAGEDATA));
    ASSERT_EQ(image->getWidth(), 2);
    ASSERT_EQ(image->getHeight(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(bytePixel(image, x, 2 - y)[c], rgb[3 * (2 * y + x) + c])
                    << "pixel (" << x << ", " << y << ") channel " << c;

    // Grey and grey+alpha expand to RGB; alpha is dropped.
    const unsigned char greyAlpha[] = {40, 255, 90, 0, 140, 128, 250, 7};  // 2 x 2, top row first
    ASSERT_TRUE(stbi_write_png(path("ga.png").c_str(), 2, 2, 2, greyAlpha, 2 * 2));
    image = loadOk(path("ga.png"));
    ASSERT_NE(image, osg::NullFC);
    const unsigned char bottomLeftGrey = greyAlpha[2 * 2];  // picture row 1, x 0
    const unsigned char topRightGrey = greyAlpha[2];        // picture row 0, x 1
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(bytePixel(image, 0, 0)[c], bottomLeftGrey);
        EXPECT_EQ(bytePixel(image, 1, 1)[c], topRightGrey);
    }

    // JPEG is lossy: a bright top half over a dark bottom half, compared with a tolerance.
    std::vector<unsigned char> halves(16 * 16 * 3);
    for (int y = 0; y < 16; ++y)
        std::fill_n(halves.begin() + 48 * y, 48, y < 8 ? 230 : 20);
    ASSERT_TRUE(stbi_write_jpg(path("halves.jpg").c_str(), 16, 16, 3, halves.data(), 100));
    image = loadOk(path("halves.jpg"));
    ASSERT_NE(image, osg::NullFC);
    EXPECT_EQ(image->getDataType(), static_cast<osg::Int32>(osg::Image::OSG_UINT8_IMAGEDATA));
    EXPECT_NEAR(bytePixel(image, 8, 0)[1], 20, 6) << "data row 0 is the picture's bottom";
    EXPECT_NEAR(bytePixel(image, 8, 15)[1], 230, 6) << "the last data row is the picture's top";
}

TEST_F(ImageFileTest, SixteenBitPngBecomesFloatScaledToOne)
{
    const std::vector<std::uint16_t> rgb = {65535, 0, 32768, 1, 2, 3,  //
                                            100, 200, 300, 65534, 4096, 12};
    writeBytes(path("deep.png"), png16(2, 2, rgb));
    osg::ImagePtr image = loadOk(path("deep.png"));
    ASSERT_NE(image, osg::NullFC);
    FloatPicture expected{2, 2, {}};
    for (std::uint16_t v : rgb)
        expected.rgb.push_back(static_cast<float>(v) / 65535.0f);
    expectFloatRowsFlipped(image, expected);
}

TEST_F(ImageFileTest, RadianceHdrReadsAsFloatInBothStorageLayouts)
{
    // Values with few mantissa bits relative to their pixel's largest one survive RGBE exactly.
    struct Row {
        const char* name;
        int width;  // stb_image_write run-length codes widths from 8 on
    };
    for (const Row& row : {Row{"flat", 3}, Row{"run-length coded", 9}}) {
        SCOPED_TRACE(row.name);
        FloatPicture picture{row.width, 2, {}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < row.width; ++x) {
                const float top = static_cast<float>(1 << x) * (y == 0 ? 2.0f : 0.25f);
                picture.rgb.insert(picture.rgb.end(), {top, top * 0.5f, top * 0.25f});
            }
        const std::string file = path(std::string(row.name) + ".hdr");
        ASSERT_TRUE(stbi_write_hdr(file.c_str(), row.width, 2, 3, picture.rgb.data()));
        osg::ImagePtr image = loadOk(file);
        if (image != osg::NullFC)
            expectFloatRowsFlipped(image, picture);
    }
}

TEST_F(ImageFileTest, ContentDecidesTheFormatAndAMisleadingNameIsNoted)
{
    const unsigned char rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(stbi_write_png(path("really-png.exr").c_str(), 2, 2, 3, rgb, 6));
    ASSERT_TRUE(stbi_write_png(path("no-extension").c_str(), 2, 2, 3, rgb, 6));

    std::string error;
    ImageFileInfo info;
    EXPECT_NE(load(path("really-png.exr"), error, &info), osg::NullFC) << error;
    EXPECT_EQ(info.format, ImageFileFormat::PNG);
    EXPECT_EQ(info.note, path("really-png.exr") +
                             ": the file holds PNG data although its name says OpenEXR; reading it as PNG");

    EXPECT_NE(load(path("no-extension"), error, &info), osg::NullFC) << error;
    EXPECT_EQ(info.note, "") << "a name without a known extension is no contradiction";

    // The two-argument form has no place for the note and logs it as a warning instead.
    osg::LogCapture capture;
    osg::ImagePtr image = loadImageFile(path("really-png.exr"), error);
    ASSERT_NE(image, osg::NullFC);
    osg::addRefCP(image);
    osg::subRefCP(image);
    EXPECT_NE(capture.text().find("although its name says OpenEXR"), std::string::npos) << capture.text();
}

TEST_F(ImageFileTest, BadFilesGiveOneLineNamingTheFile)
{
    const unsigned char rgb[16 * 16 * 3] = {};
    auto writeGood = [&](const char* name) {
        const std::string file = path(name);
        const std::string ext = fs::path(file).extension().string();
        float hdr[16 * 4 * 3];
        std::fill(std::begin(hdr), std::end(hdr), 0.5f);
        if (ext == ".png")
            stbi_write_png(file.c_str(), 16, 16, 3, rgb, 48);
        else if (ext == ".jpg")
            stbi_write_jpg(file.c_str(), 16, 16, 3, rgb, 90);
        else if (ext == ".hdr")
            stbi_write_hdr(file.c_str(), 16, 4, 3, hdr);
        else
            writeExr(file, 16, 16, {{"R", Imf::HALF}, {"G", Imf::HALF}, {"B", Imf::HALF}},
                     [](const char*, int x, int y) { return static_cast<float>(x * y); });
        return file;
    };
    struct Row {
        const char* name;
        std::function<std::string()> make;  // writes the file, returns its path
        std::string message;                // with "@" standing for the path
        bool prefixOnly;                    // the rest comes from the decoder
    };
    const Row rows[] = {
        {"missing file", [&] { return path("missing.exr"); }, "@: cannot open: No such file or directory", false},
        {"directory",
         [&] {
             fs::create_directory(path("folder.exr"));
             return path("folder.exr");
         },
         "@: is a directory, not an image file", false},
        {"empty file",
         [&] {
             writeBytes(path("empty.png"), {});
             return path("empty.png");
         },
         "@: the file is empty", false},
        {"unknown format",
         [&] {
             std::ofstream(path("text.png")) << "just some text\n";
             return path("text.png");
         },
         "@: unknown image format (not OpenEXR, Radiance HDR, PNG or JPEG)", false},
        {"OpenEXR without colour channels",
         [&] {
             writeExr(path("az.exr"), 2, 2, {{"A", Imf::HALF}, {"Z", Imf::FLOAT}},
                      [](const char*, int, int) { return 1.0f; });
             return path("az.exr");
         },
         "@: OpenEXR image without colour channels (needs R, G and B, or Y); it has A, Z", false},
        {"OpenEXR with R and G only",
         [&] {
             writeExr(path("rg.exr"), 2, 2, {{"R", Imf::HALF}, {"G", Imf::HALF}},
                      [](const char*, int, int) { return 1.0f; });
             return path("rg.exr");
         },
         "@: OpenEXR image without colour channels (needs R, G and B, or Y); it has G, R", false},
        {"OpenEXR with an absurd size",
         [&] {
             const std::string file = path("huge.exr");
             Imf::Header header(100000, 100000);
             header.channels().insert("R", Imf::Channel(Imf::HALF));
             header.channels().insert("G", Imf::Channel(Imf::HALF));
             header.channels().insert("B", Imf::Channel(Imf::HALF));
             { Imf::OutputFile out(file.c_str(), header); }  // header only, no pixels
             return file;
         },
         "@: the image is too large to load (100000 x 100000 pixels, at most 268435456)", false},
        {"truncated OpenEXR",
         [&] {
             const std::string file = writeGood("cut.exr");
             truncateFile(file, readBytes(file).size() - 40);
             return file;
         },
         "@: corrupt or truncated OpenEXR data (", true},
        {"OpenEXR cut inside its header",
         [&] {
             const std::string file = writeGood("head.exr");
             truncateFile(file, 30);
             return file;
         },
         "@: corrupt or truncated OpenEXR data (", true},
        {"truncated PNG",
         [&] {
             const std::string file = writeGood("cut.png");
             truncateFile(file, readBytes(file).size() / 2);
             return file;
         },
         "@: corrupt or truncated PNG data (", true},
        {"PNG without its end chunk",
         [&] {
             const std::string file = writeGood("noend.png");
             truncateFile(file, readBytes(file).size() - 12);
             return file;
         },
         "@: corrupt or truncated PNG data (", true},
        {"truncated JPEG",
         [&] {
             const std::string file = writeGood("cut.jpg");
             truncateFile(file, readBytes(file).size() * 3 / 4);
             return file;
         },
         "@: corrupt or truncated JPEG data (", true},
        {"truncated run-length coded HDR",
         [&] {
             const std::string file = writeGood("cut.hdr");
             truncateFile(file, readBytes(file).size() - 5);
             return file;
         },
         "@: truncated or corrupt Radiance HDR data (scan line 4 of 4 ends early)", false},
        {"HDR with a zero run length",
         [&] {
             const std::string file = writeGood("zero.hdr");
             std::vector<unsigned char> bytes = readBytes(file);
             // The first count byte after the 4-byte scan line header of the first row.
             const std::string text(bytes.begin(), bytes.end());
             const std::size_t data = text.find("+X 16\n") + 6;
             bytes[data + 4] = 0;
             writeBytes(file, bytes);
             return file;
         },
         "@: truncated or corrupt Radiance HDR data (scan line 1 holds a zero run length)", false},
        {"HDR header without pixels",
         [&] {
             std::ofstream(path("bare.hdr")) << "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 3\n";
             return path("bare.hdr");
         },
         "@: truncated or corrupt Radiance HDR data (the pixel data ends early)", false},
        {"PNG of zero width",
         [&] {
             std::vector<unsigned char> png = png16(1, 1, {1, 2, 3});
             png[16 + 3] = 0;  // IHDR width, low byte (the CRC no longer matches; stb ignores it)
             writeBytes(path("zero.png"), png);
             return path("zero.png");
         },
         "@: corrupt or truncated PNG data (", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = row.make();
        std::string expected = row.message;
        expected.replace(expected.find('@'), 1, file);
        std::string error;
        EXPECT_EQ(load(file, error), osg::NullFC);
        if (row.prefixOnly) {
            EXPECT_EQ(error.substr(0, expected.size()), expected);
            EXPECT_EQ(error.back(), ')') << error;
        } else {
            EXPECT_EQ(error, expected);
        }
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    }
}

TEST(ImageFileFormatTest, MagicBytesAndNames)
{
    struct Row {
        const char* name;
        std::string head;
        ImageFileFormat format;
    };
    const Row rows[] = {
        {"OpenEXR", std::string("\x76\x2f\x31\x01\x02\x00", 6), ImageFileFormat::OpenEXR},
        {"PNG", "\x89PNG\r\n\x1a\n....", ImageFileFormat::PNG},
        {"JPEG", "\xff\xd8\xff\xe0", ImageFileFormat::JPEG},
        {"Radiance", "#?RADIANCE\n", ImageFileFormat::RadianceHDR},
        {"RGBE", "#?RGBE\n", ImageFileFormat::RadianceHDR},
        {"PNG signature cut short", "\x89PNG\r\n", ImageFileFormat::Unknown},
        {"TIFF", "II*\0", ImageFileFormat::Unknown},
        {"nothing", "", ImageFileFormat::Unknown},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Morvek::detectImageFileFormat(reinterpret_cast<const unsigned char*>(row.head.data()),
                                                row.head.size()),
                  row.format)
            << row.name;

    const std::pair<const char*, ImageFileFormat> names[] = {
        {"sky.EXR", ImageFileFormat::OpenEXR},     {"a/b.hdr", ImageFileFormat::RadianceHDR},
        {"x.JpEg", ImageFileFormat::JPEG},         {"x.jpg", ImageFileFormat::JPEG},
        {"x.png", ImageFileFormat::PNG},           {"dir.png/file", ImageFileFormat::Unknown},
        {"archive.tar.gz", ImageFileFormat::Unknown}, {"noext", ImageFileFormat::Unknown},
    };
    for (const auto& [name, format] : names)
        EXPECT_EQ(Morvek::imageFileFormatFromName(name), format) << name;
}

}  // namespace
