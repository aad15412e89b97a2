// OpenEXR files through loadImageFile: every layout OpenEXR writes (each compression, tiled
// levels, several parts) must pass the header and chunk-table checks and decode, and files
// whose header or tables were patched or cut must be refused with one line before decoding.

#include "morvekShapeNodePool/ImageFile.h"

#include "ScratchFolderTest.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfMultiPartOutputFile.h>
#include <OpenEXR/ImfOutputFile.h>
#include <OpenEXR/ImfOutputPart.h>
#include <OpenEXR/ImfPartType.h>
#include <OpenEXR/ImfStdIO.h>
#include <OpenEXR/ImfStringAttribute.h>
#include <OpenEXR/ImfTiledInputFile.h>
#include <OpenEXR/ImfTiledOutputFile.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;
using imageFileTests::Bytes;
using imageFileTests::readBytes;
using imageFileTests::writeBytes;

// Picture value of channel c (0..2) at x, y (y = 0 the top row): smooth, so that lossy
// compressions keep it close; exact in 32-bit floats.
float value(int c, int x, int y) { return 0.5f + 0.125f * float(c) + 0.001f * float(x + 2 * y); }

std::vector<float> picture(int width, int height, int part = 0)
{
    std::vector<float> rgb(std::size_t(width) * std::size_t(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[3 * (std::size_t(y) * width + x) + c] = value(c, x, y) + float(part);
    return rgb;
}

Imf::Header rgbHeader(int width, int height, Imf::Compression compression)
{
    Imf::Header header(width, height);
    header.compression() = compression;
    // A string, whose size OpenEXR takes from its size field alone.
    header.insert("comments", Imf::StringAttribute("written by the loader's tests"));
    for (const char* name : {"R", "G", "B"})
        header.channels().insert(name, Imf::Channel(Imf::FLOAT));
    return header;
}

Imf::FrameBuffer frameOf(std::vector<float>& rgb, int width)
{
    Imf::FrameBuffer frame;
    const char* names[3] = {"R", "G", "B"};
    for (int c = 0; c < 3; ++c)
        frame.insert(names[c], Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(rgb.data() + c),
                                          3 * sizeof(float), 3 * sizeof(float) * width));
    return frame;
}

void writeScanlines(const std::string& file, int width, int height, Imf::Compression compression)
{
    std::vector<float> rgb = picture(width, height);
    Imf::OutputFile out(file.c_str(), rgbHeader(width, height, compression));
    out.setFrameBuffer(frameOf(rgb, width));
    out.writePixels(height);
}

// A constant picture (the best case for every coder) in `type` channels.
void writeConstant(const std::string& file, int width, int height, Imf::Compression compression,
                   Imf::PixelType type)
{
    Imf::Header header(width, height);
    header.compression() = compression;
    std::vector<float> floats(std::size_t(width) * std::size_t(height), 0.25f);
    std::vector<half> halves(floats.begin(), floats.end());
    char* base = type == Imf::HALF ? reinterpret_cast<char*>(halves.data())
                                   : reinterpret_cast<char*>(floats.data());
    const std::size_t size = type == Imf::HALF ? sizeof(half) : sizeof(float);
    Imf::FrameBuffer frame;
    for (const char* name : {"R", "G", "B"}) {
        header.channels().insert(name, Imf::Channel(type));
        frame.insert(name, Imf::Slice(type, base, size, size * std::size_t(width)));
    }
    Imf::OutputFile out(file.c_str(), header);
    out.setFrameBuffer(frame);
    out.writePixels(height);
}

void writeTiled(const std::string& file, int width, int height, Imf::LevelMode mode,
                Imf::LevelRoundingMode rounding)
{
    Imf::Header header = rgbHeader(width, height, Imf::ZIP_COMPRESSION);
    header.setTileDescription(Imf::TileDescription(16, 8, mode, rounding));
    Imf::TiledOutputFile out(file.c_str(), header);
    for (int ly = 0; ly < out.numYLevels(); ++ly)
        for (int lx = 0; lx < out.numXLevels(); ++lx) {
            if (mode == Imf::MIPMAP_LEVELS && lx != ly)
                continue;
            std::vector<float> rgb = picture(out.levelWidth(lx), out.levelHeight(ly));
            out.setFrameBuffer(frameOf(rgb, out.levelWidth(lx)));
            out.writeTiles(0, out.numXTiles(lx) - 1, 0, out.numYTiles(ly) - 1, lx, ly);
        }
}

// Two parts of different sizes; the picture is part 0.
void writeTwoParts(const std::string& file, int width, int height)
{
    Imf::Header headers[2] = {rgbHeader(width, height, Imf::ZIP_COMPRESSION),
                              rgbHeader(width + 3, height + 20, Imf::PIZ_COMPRESSION)};
    for (int i = 0; i < 2; ++i) {
        headers[i].setName("part" + std::to_string(i));
        headers[i].setType(Imf::SCANLINEIMAGE);
        headers[i].displayWindow() = headers[0].displayWindow(); // parts share it
    }
    Imf::MultiPartOutputFile out(file.c_str(), headers, 2);
    for (int i = 0; i < 2; ++i) {
        const int w = headers[i].dataWindow().max.x + 1;
        const int h = headers[i].dataWindow().max.y + 1;
        std::vector<float> rgb = picture(w, h, i);
        Imf::OutputPart part(out, i);
        part.setFrameBuffer(frameOf(rgb, w));
        part.writePixels(h);
    }
}

void putLittleEndian(Bytes& bytes, std::size_t at, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + std::size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint64_t getLittleEndian(const Bytes& bytes, std::size_t at, int size)
{
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[at + std::size_t(i)];
    return value;
}

// Byte where a single-part file's chunk table starts (right after its header).
std::size_t tableStart(const std::string& file)
{
    Imf::StdIFStream in(file.c_str());
    char magicAndVersion[8];
    in.read(magicAndVersion, 8);
    int version = 0;
    std::memcpy(&version, magicAndVersion + 4, 4);
    Imf::Header header;
    header.readFrom(in, version);
    return std::size_t(in.tellg());
}

// Sets the data window's maximum corner (its minimum is 0, 0) in a written header.
void patchDataWindow(Bytes& bytes, int width, int height)
{
    const std::string key("dataWindow\0box2i\0", 17);
    const auto at = std::search(bytes.begin(), bytes.end(), key.begin(), key.end());
    ASSERT_NE(at, bytes.end());
    const std::size_t box = std::size_t(at - bytes.begin()) + key.size() + 4;
    putLittleEndian(bytes, box + 8, std::uint32_t(width - 1), 4);
    putLittleEndian(bytes, box + 12, std::uint32_t(height - 1), 4);
}

// Byte of the size field of the attribute whose name and type are `key` ("name\0type\0").
std::size_t attributeSizeAt(const Bytes& bytes, const std::string& key)
{
    const auto at = std::search(bytes.begin(), bytes.end(), key.begin(), key.end());
    EXPECT_NE(at, bytes.end()) << key;
    return std::size_t(at - bytes.begin()) + key.size();
}

class ExrReaderTest : public imageFileTests::ScratchFolderTest {
protected:
};

TEST_F(ExrReaderTest, EveryLayoutOpenExrWritesPassesTheChecksAndDecodes)
{
    // 67 x 300: no compression's lines per chunk (1, 16, 32, 256) divides the height.
    const int w = 67, h = 300;
    const struct {
        const char* name;
        std::function<void(const std::string&)> write;
        float tolerance; // 0: lossless, values exact
    } rows[] = {
        {"none", [&](auto& f) { writeScanlines(f, w, h, Imf::NO_COMPRESSION); }, 0},
        {"rle", [&](auto& f) { writeScanlines(f, w, h, Imf::RLE_COMPRESSION); }, 0},
        {"zips", [&](auto& f) { writeScanlines(f, w, h, Imf::ZIPS_COMPRESSION); }, 0},
        {"zip", [&](auto& f) { writeScanlines(f, w, h, Imf::ZIP_COMPRESSION); }, 0},
        {"piz", [&](auto& f) { writeScanlines(f, w, h, Imf::PIZ_COMPRESSION); }, 0},
        {"pxr24", [&](auto& f) { writeScanlines(f, w, h, Imf::PXR24_COMPRESSION); }, 1e-4f},
        {"b44", [&](auto& f) { writeScanlines(f, w, h, Imf::B44_COMPRESSION); }, 0},
        {"dwaa", [&](auto& f) { writeScanlines(f, w, h, Imf::DWAA_COMPRESSION); }, 0.02f},
        {"dwab", [&](auto& f) { writeScanlines(f, w, h, Imf::DWAB_COMPRESSION); }, 0.02f},
        {"tiled one level", [&](auto& f) { writeTiled(f, w, h, Imf::ONE_LEVEL, Imf::ROUND_DOWN); },
         0},
        {"tiled mipmap down",
         [&](auto& f) { writeTiled(f, w, h, Imf::MIPMAP_LEVELS, Imf::ROUND_DOWN); }, 0},
        {"tiled mipmap up",
         [&](auto& f) { writeTiled(f, w, h, Imf::MIPMAP_LEVELS, Imf::ROUND_UP); }, 0},
        {"tiled ripmap up",
         [&](auto& f) { writeTiled(f, w, h, Imf::RIPMAP_LEVELS, Imf::ROUND_UP); }, 0},
        {"two parts", [&](auto& f) { writeTwoParts(f, w, h); }, 0},
    };
    const std::vector<float> expected = picture(w, h);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = path(std::string(row.name) + ".exr");
        row.write(file);
        std::string error;
        osg::ImagePtr image = Morvek::loadImageFile(file, error);
        ASSERT_NE(image, osg::NullFC) << error;
        osg::addRefCP(image);
        EXPECT_EQ(image->getWidth(), w);
        EXPECT_EQ(image->getHeight(), h);
        const float* data = reinterpret_cast<const float*>(image->getData());
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < 3 * w; ++i) {
                const float got = data[std::size_t(3 * w * (h - 1 - y) + i)];
                const float want = expected[std::size_t(3 * w * y + i)];
                wrong +=
                    row.tolerance == 0 ? got != want : !(std::fabs(got - want) <= row.tolerance);
            }
        EXPECT_EQ(wrong, 0);
        osg::subRefCP(image);
    }
}

// The file-length bound assumes each coder's best packing: constant pictures, which every coder
// packs best, must still pass it.
// A data window may lie anywhere in 32-bit coordinates; only its size matters to the picture.
TEST_F(ExrReaderTest, AWindowFarFromTheOriginDecodesLikeAnyOther)
{
    // OpenEXR writes windows within 2^30 of the origin. Rows wide enough that the window's
    // offset, in bytes, exceeds any address: computed on pointers it would wrap.
    const int w = 12000, h = 2;
    const int far = (1 << 30) - 20000;
    for (const Imath::V2i& origin : {Imath::V2i(-far, -far), Imath::V2i(far, far)}) {
        SCOPED_TRACE(std::to_string(origin.x) + ", " + std::to_string(origin.y));
        const Imath::Box2i window(origin, origin + Imath::V2i(w - 1, h - 1));
        Imf::Header header(window, window);
        for (const char* name : {"R", "G", "B"})
            header.channels().insert(name, Imf::Channel(Imf::FLOAT));
        std::vector<float> rgb = picture(w, h);
        Imf::FrameBuffer frame;
        const char* names[3] = {"R", "G", "B"};
        for (int c = 0; c < 3; ++c)
            frame.insert(names[c], Imf::Slice::Make(Imf::FLOAT, rgb.data() + c, window,
                                                    3 * sizeof(float), 3 * sizeof(float) * w));
        {
            Imf::OutputFile out(path("far.exr").c_str(), header);
            out.setFrameBuffer(frame);
            out.writePixels(h);
        }
        std::string error;
        osg::ImagePtr image = Morvek::loadImageFile(path("far.exr"), error);
        ASSERT_NE(image, osg::NullFC) << error;
        osg::addRefCP(image);
        const float* data = reinterpret_cast<const float*>(image->getData());
        for (int row = 0; row < h; ++row) // the top row last
            EXPECT_TRUE(std::equal(rgb.begin() + 3 * w * row, rgb.begin() + 3 * w * (row + 1),
                                   data + 3 * w * (h - 1 - row)))
                << "row " << row;
        osg::subRefCP(image);
    }
}

// A program that runs its own workers decodes each image on the calling thread; the pixels are
// the same as from OpenEXR's pool.
TEST_F(ExrReaderTest, DecodingOnTheCallersThreadGivesTheSamePixels)
{
    writeScanlines(path("chunks.exr"), 300, 200, Imf::ZIP_COMPRESSION); // 13 chunks
    auto pixels = [&](bool useThreads) {
        Morvek::setImageFileDecodeThreads(useThreads);
        std::string error;
        osg::ImagePtr image = Morvek::loadImageFile(path("chunks.exr"), error);
        Morvek::setImageFileDecodeThreads(true);
        EXPECT_NE(image, osg::NullFC) << error;
        if (image == osg::NullFC)
            return std::vector<float>();
        osg::addRefCP(image);
        const float* data = reinterpret_cast<const float*>(image->getData());
        std::vector<float> copy(data, data + 3 * 300 * 200);
        osg::subRefCP(image);
        return copy;
    };
    const std::vector<float> pooled = pixels(true);
    const std::vector<float> here = pixels(false);
    ASSERT_EQ(pooled.size(), std::size_t(3 * 300 * 200));
    EXPECT_EQ(pooled, here);
    // And both are the picture written, its top row last.
    const std::vector<float> written = picture(300, 200);
    for (int row = 0; row < 200; ++row)
        ASSERT_TRUE(std::equal(written.begin() + 900 * row, written.begin() + 900 * (row + 1),
                               here.begin() + 900 * (199 - row)))
            << "row " << row;
}

TEST_F(ExrReaderTest, ConstantPicturesPassTheFileLengthBound)
{
    const struct {
        Imf::Compression compression;
        Imf::PixelType type;
    } rows[] = {
        {Imf::NO_COMPRESSION, Imf::HALF},     {Imf::RLE_COMPRESSION, Imf::HALF},
        {Imf::RLE_COMPRESSION, Imf::FLOAT},   {Imf::ZIPS_COMPRESSION, Imf::FLOAT},
        {Imf::ZIP_COMPRESSION, Imf::HALF},    {Imf::ZIP_COMPRESSION, Imf::FLOAT},
        {Imf::PXR24_COMPRESSION, Imf::FLOAT}, {Imf::B44_COMPRESSION, Imf::HALF},
        {Imf::B44A_COMPRESSION, Imf::HALF},   {Imf::PIZ_COMPRESSION, Imf::HALF},
        {Imf::PIZ_COMPRESSION, Imf::FLOAT},   {Imf::DWAA_COMPRESSION, Imf::HALF},
        {Imf::DWAB_COMPRESSION, Imf::HALF},   {Imf::DWAB_COMPRESSION, Imf::FLOAT},
    };
    const int w = 1024, h = 512;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.compression) + " " + std::to_string(row.type));
        const std::string file = path("constant.exr");
        writeConstant(file, w, h, row.compression, row.type);
        std::string error;
        osg::ImagePtr image = Morvek::loadImageFile(file, error);
        ASSERT_NE(image, osg::NullFC) << error << " (" << fs::file_size(file) << " bytes)";
        osg::addRefCP(image);
        const float* data = reinterpret_cast<const float*>(image->getData());
        // Within the lossy coders' error; exact for the others.
        EXPECT_EQ(std::count_if(data, data + 3 * w * h,
                                [](float v) { return std::fabs(v - 0.25f) < 1e-3f; }),
                  3 * w * h);
        osg::subRefCP(image);
    }
}

// The wavelet and DCT coders pack pictures far tighter than deflate, but not without limit: a
// file with the right number of chunks and a data window widened far beyond what they hold is
// refused before its pixels are allocated.
TEST_F(ExrReaderTest, PizAndDwaFilesTooSmallForTheirPixelsAreRefused)
{
    // Constant 40-pixel-wide pictures whose rows are then declared 65535 pixels wide; the
    // chunk tables still fit, having as many entries as before.
    const struct {
        Imf::Compression compression;
        int height;
    } rows[] = {
        {Imf::PIZ_COMPRESSION, 50},    // 2 chunks of 32 lines
        {Imf::DWAA_COMPRESSION, 2730}, // 86 chunks of 32 lines
        {Imf::DWAB_COMPRESSION, 2730}, // 11 chunks of 256 lines
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.compression));
        writeConstant(path("small.exr"), 40, row.height, row.compression, Imf::FLOAT);
        Bytes bytes = readBytes(path("small.exr"));
        std::string error;
        osg::ImagePtr image = Morvek::loadImageFile(path("small.exr"), error);
        ASSERT_NE(image, osg::NullFC) << error;
        osg::addRefCP(image);
        osg::subRefCP(image);
        patchDataWindow(bytes, 65535, row.height);
        writeBytes(path("wide.exr"), bytes);
        EXPECT_EQ(Morvek::loadImageFile(path("wide.exr"), error), osg::NullFC);
        EXPECT_EQ(error, path("wide.exr") + ": corrupt or truncated OpenEXR data (a file of " +
                             std::to_string(bytes.size()) + " bytes cannot hold 65535 x " +
                             std::to_string(row.height) +
                             " pixels of 12 bytes with this compression)");
    }
}

TEST_F(ExrReaderTest, HostileHeadersAndTablesAreRefusedWithOneLine)
{
    writeScanlines(path("good.exr"), 40, 50, Imf::ZIP_COMPRESSION); // 4 chunks
    const Bytes good = readBytes(path("good.exr"));
    const std::size_t table = tableStart(path("good.exr"));
    const std::size_t chunks = 4;
    const std::size_t size = good.size();
    const std::uint64_t lastChunk = getLittleEndian(good, table + 8 * (chunks - 1), 8);

    {
        Imf::Header header(4, 4);
        header.channels().insert("A", Imf::Channel(Imf::HALF));
        header.channels().insert("bad\nname", Imf::Channel(Imf::HALF));
        Imf::OutputFile out(path("named.exr").c_str(), header);
    } // no pixels: the channels are refused first

    const std::size_t comments = attributeSizeAt(good, std::string("comments\0string\0", 16));
    const std::size_t channels = attributeSizeAt(good, std::string("channels\0chlist\0", 16));
    const std::string corrupt = "corrupt or truncated OpenEXR data (";
    const std::string tableLine = corrupt + "the chunk table of ";
    const struct {
        const char* name;
        std::function<void(Bytes&)> change;
        std::string line; // after "<path>: "; a trailing '(' means "starts with"
    } rows[] = {
        {"2^28 x 1", [](Bytes& b) { patchDataWindow(b, 1 << 28, 1); },
         "the image is larger than 65535 pixels on a side (268435456 x 1)"},
        {"16777232 x 8", [](Bytes& b) { patchDataWindow(b, 16777232, 8); },
         "the image is larger than 65535 pixels on a side (16777232 x 8)"},
        {"1 x 65536", [](Bytes& b) { patchDataWindow(b, 1, 65536); },
         "the image is larger than 65535 pixels on a side (1 x 65536)"},
        {"16384 x 16384", [](Bytes& b) { patchDataWindow(b, 16384, 16384); },
         "the image is too large to load (16384 x 16384 pixels, at most 178956970, 2 GiB as "
         "float RGB)"},
        {"65535 x 2731", [](Bytes& b) { patchDataWindow(b, 65535, 2731); },
         "the image is too large to load (65535 x 2731 pixels, at most 178956970, 2 GiB as "
         "float RGB)"},
        // Sizes within the limit reach the table check, which finds too few entries.
        // A size within the limit reaches the table check: 171 entries run into the chunks.
        {"65535 x 2730", [](Bytes& b) { patchDataWindow(b, 65535, 2730); },
         corrupt + "chunk 1 of 171 does not start between the tables and the end: offset " +
             std::to_string(table + 8 * chunks) + ", file of " + std::to_string(size) + " bytes)"},
        {"13000 x 13000", [](Bytes& b) { patchDataWindow(b, 13000, 13000); },
         tableLine + "813 entries from byte " + std::to_string(table) +
             " ends beyond the end of the file, " + std::to_string(size) + " bytes)"},
        // As many chunks as written, but more pixels than deflate can pack into the file.
        {"65535 x 50", [](Bytes& b) { patchDataWindow(b, 65535, 50); },
         corrupt + "a file of " + std::to_string(size) +
             " bytes cannot hold 65535 x 50 pixels of 12 bytes with this compression)"},
        {"table cut", [&](Bytes& b) { b.resize(table + 12); },
         tableLine + "4 entries from byte " + std::to_string(table) +
             " ends beyond the end of the file, " + std::to_string(table + 12) + " bytes)"},
        {"offset past the end", [&](Bytes& b) { putLittleEndian(b, table + 8, size + 100, 8); },
         corrupt + "chunk 2 of 4 does not start between the tables and the end: offset " +
             std::to_string(size + 100) + ", file of " + std::to_string(size) + " bytes)"},
        {"offset into the table", [&](Bytes& b) { putLittleEndian(b, table, table + 8, 8); },
         corrupt + "chunk 1 of 4 does not start between the tables and the end: offset " +
             std::to_string(table + 8) + ", file of " + std::to_string(size) + " bytes)"},
        {"huge offset", [&](Bytes& b) { putLittleEndian(b, table + 24, ~0ull, 8); },
         corrupt + "chunk 4 of 4 does not start between the tables and the end: offset " +
             std::to_string(~0ull) + ", file of " + std::to_string(size) + " bytes)"},
        {"packed size too large",
         [&](Bytes& b) { putLittleEndian(b, std::size_t(lastChunk) + 4, 0x7fffffff, 4); },
         corrupt + "chunk 4 of 4 ends beyond the end of the file: offset " +
             std::to_string(lastChunk) + ", 2147483647 bytes, file of " + std::to_string(size) +
             " bytes)"},
        {"last chunk cut", [&](Bytes& b) { b.resize(size - 10); },
         corrupt + "chunk 4 of 4 ends beyond the end of the file: offset " +
             std::to_string(lastChunk) + ", " +
             std::to_string(getLittleEndian(good, std::size_t(lastChunk) + 4, 4)) +
             " bytes, file of " + std::to_string(size - 10) + " bytes)"},
        {"string size", [&](Bytes& b) { putLittleEndian(b, comments, 0x7fffffff, 4); },
         corrupt + "attribute comments declares 2147483647 bytes, " +
             std::to_string(size - comments - 4) + " remain in the file)"},
        {"channel list size", [&](Bytes& b) { putLittleEndian(b, channels, 0xfffffff0, 4); },
         corrupt + "attribute channels declares -16 bytes, " + std::to_string(size - channels - 4) +
             " remain in the file)"},
        {"header cut", [&](Bytes& b) { b.resize(table - 5); }, corrupt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes bytes = good;
        row.change(bytes);
        const std::string file = path("hostile.exr");
        writeBytes(file, bytes);
        std::string error;
        EXPECT_EQ(Morvek::loadImageFile(file, error), osg::NullFC);
        const std::string expected = file + ": " + row.line;
        if (row.line.back() == '(')
            EXPECT_TRUE(error.rfind(expected, 0) == 0 && error.back() == ')') << error;
        else
            EXPECT_EQ(error, expected);
    }

    std::string error;
    EXPECT_EQ(Morvek::loadImageFile(path("named.exr"), error), osg::NullFC);
    EXPECT_EQ(error, path("named.exr") + ": OpenEXR image without colour channels (needs R, G "
                                         "and B, or Y); it has A, bad\\x0aname");
}

// The table check must count every tile of every level: a table one byte short of what
// OpenEXR's own reader counts is refused, naming that count.
TEST_F(ExrReaderTest, TiledTablesAreCountedOverAllLevels)
{
    const struct {
        Imf::LevelMode mode;
        Imf::LevelRoundingMode rounding;
    } rows[] = {
        {Imf::ONE_LEVEL, Imf::ROUND_DOWN},   {Imf::MIPMAP_LEVELS, Imf::ROUND_DOWN},
        {Imf::MIPMAP_LEVELS, Imf::ROUND_UP}, {Imf::RIPMAP_LEVELS, Imf::ROUND_DOWN},
        {Imf::RIPMAP_LEVELS, Imf::ROUND_UP},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.mode) + " " + std::to_string(row.rounding));
        const std::string file = path("tiled.exr");
        writeTiled(file, 67, 300, row.mode, row.rounding);
        std::size_t count = 0;
        {
            Imf::TiledInputFile in(file.c_str());
            for (int ly = 0; ly < in.numYLevels(); ++ly)
                for (int lx = 0; lx < in.numXLevels(); ++lx)
                    if (in.isValidLevel(lx, ly))
                        count += std::size_t(in.numXTiles(lx)) * std::size_t(in.numYTiles(ly));
        }
        const std::size_t table = tableStart(file);
        Bytes bytes = readBytes(file);
        bytes.resize(table + 8 * count - 1);
        writeBytes(file, bytes);
        std::string error;
        EXPECT_EQ(Morvek::loadImageFile(file, error), osg::NullFC);
        EXPECT_EQ(error, file + ": corrupt or truncated OpenEXR data (the chunk table of " +
                             std::to_string(count) + " entries from byte " + std::to_string(table) +
                             " ends beyond the end of the file, " + std::to_string(bytes.size()) +
                             " bytes)");
    }
}

// In a file of several parts every chunk starts with its part number: the size field after it
// must be the one checked, for the tables of all parts.
TEST_F(ExrReaderTest, APartsLastChunkCutIsFoundInAnyPart)
{
    const std::string file = path("parts.exr");
    writeTwoParts(file, 67, 300); // 19 chunks of 16 lines, then 10 of 32 lines
    Bytes bytes = readBytes(file);
    bytes.resize(bytes.size() - 10);
    writeBytes(file, bytes);
    std::string error;
    EXPECT_EQ(Morvek::loadImageFile(file, error), osg::NullFC);
    const std::string expected =
        file + ": corrupt or truncated OpenEXR data (chunk 29 of 29 ends beyond the end of the "
               "file: offset ";
    EXPECT_EQ(error.rfind(expected, 0), 0u) << error;
}

} // namespace
