// Radiance files read through loadImageFile: bad files give their one line, good ones decode to
// exactly the floats stb_image gives for the same bytes (an independent decoder as the oracle),
// whether flat or run-length coded, generated here or written from the shared environments.

#include "morvekShapeNodePool/ImageFile.h"

#include "ScratchFolderTest.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <stb_image.h>
#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using imageFileTests::Bytes;
using imageFileTests::readBytes;
using imageFileTests::writeBytes;

const std::string rgbeHeader = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n";

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string sizeLine(int width, int height)
{
    return "-Y " + std::to_string(height) + " +X " + std::to_string(width) + "\n";
}

class RadianceReaderTest : public imageFileTests::ScratchFolderTest {
protected:
    // Writes `bytes` as `name` and loads them; the image (or NullFC) and the error line.
    osg::ImagePtr load(const std::string& name, const Bytes& bytes, std::string& error)
    {
        writeBytes(path(name), bytes);
        return Morvek::loadImageFile(path(name), error);
    }

    // Our decode of `bytes` must equal stb's float decode bit for bit, row by row.
    void expectSameAsStb(const std::string& name, const Bytes& bytes)
    {
        SCOPED_TRACE(name);
        int width = 0;
        int height = 0;
        int channels = 0;
        float* stb =
            stbi_loadf_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 3);
        ASSERT_NE(stb, nullptr) << "stb refuses the file: " << stbi_failure_reason();
        std::string error;
        osg::ImagePtr image = load(name + ".hdr", bytes, error);
        ASSERT_NE(image, osg::NullFC) << error;
        osg::addRefCP(image);
        EXPECT_EQ(image->getWidth(), width);
        EXPECT_EQ(image->getHeight(), height);
        EXPECT_EQ(image->getDataType(), osg::Int32(osg::Image::OSG_FLOAT32_IMAGEDATA));
        const std::size_t rowBytes = 3 * sizeof(float) * std::size_t(width);
        int differentRows = 0;
        for (int y = 0; y < height && image->getWidth() == width; ++y)
            differentRows +=
                std::memcmp(image->getData() + rowBytes * std::size_t(height - 1 - y),
                            reinterpret_cast<const unsigned char*>(stb) + rowBytes * std::size_t(y),
                            rowBytes) != 0;
        EXPECT_EQ(differentRows, 0);
        stbi_image_free(stb);
        osg::subRefCP(image);
    }
};

TEST_F(RadianceReaderTest, BadFilesGiveOneClearLine)
{
    const Bytes eightWide = bytesOf(rgbeHeader + sizeLine(8, 2));
    const Bytes rleMarker = {2, 2, 0, 8};
    // One run-length component of 8 values as a single dump.
    const Bytes dump8 = {8, 1, 2, 3, 4, 5, 6, 7, 8};
    const Bytes fullLine = rleMarker + dump8 + dump8 + dump8 + dump8;
    const Bytes flatLine(32, 200);

    struct Row {
        const char* name;
        Bytes bytes;
        std::string message; // after "<path>: "
    };
    const Row rows[] = {
        {"NUL starting a header line",
         bytesOf("#?RADIANCE\n") + Bytes{0} + bytesOf("FORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 8\n") +
             Bytes{2, 2, 0, 8, 0, 0, 0, 0},
         "corrupt Radiance HDR header (line 2 of the header holds a NUL byte)"},
        {"2000 x 2000 declared, 4 bytes of pixels",
         bytesOf(rgbeHeader + sizeLine(2000, 2000)) + Bytes{2, 2, 7, 208},
         "truncated Radiance HDR data (2000 x 2000 pixels need at least 264000 bytes after the "
         "header, the file has 4)"},
        {"largest size, no pixels", bytesOf(rgbeHeader + sizeLine(16384, 10922)),
         "truncated Radiance HDR data (16384 x 10922 pixels need at least 11402568 bytes after "
         "the header, the file has 0)"},
        {"too many pixels", bytesOf(rgbeHeader + sizeLine(16384, 16384)),
         "the image is too large to load (16384 x 16384 pixels, at most 178956970, 2 GiB as "
         "float RGB)"},
        {"too wide", bytesOf(rgbeHeader + sizeLine(65536, 65536)),
         "the image is larger than 65535 pixels on a side (65536 x 65536)"},
        {"no rows", bytesOf(rgbeHeader + sizeLine(3, 0)), "the image has no pixels (3 x 0)"},
        {"other magic", bytesOf("#?RADIANCEX\n\n-Y 1 +X 1\n") + Bytes{128, 128, 128, 128},
         "corrupt Radiance HDR header (the first line '#?RADIANCEX' is not #?RADIANCE or "
         "#?RGBE)"},
        {"no empty line", bytesOf("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n-Y 1 +X 1\n"),
         "corrupt Radiance HDR header (no empty line ends the header)"},
        {"XYZE pixels", bytesOf("#?RADIANCE\nFORMAT=32-bit_rle_xyze\n\n-Y 1 +X 1\n"),
         "unsupported Radiance HDR pixel format '32-bit_rle_xyze' (only 32-bit_rle_rgbe is "
         "read)"},
        {"bottom row first", bytesOf(rgbeHeader + "+Y 2 +X 3\n") + Bytes(24, 128),
         "unsupported Radiance HDR orientation '+Y 2 +X 3' (only -Y height +X width, top row "
         "first, is read)"},
        {"width missing", bytesOf(rgbeHeader + "-Y 2 +X\n"),
         "corrupt Radiance HDR header (the size line '-Y 2 +X' is not -Y height +X width)"},
        {"negative height", bytesOf(rgbeHeader + "-Y -2 +X 3\n"),
         "corrupt Radiance HDR header (the size line '-Y -2 +X 3' is not -Y height +X width)"},
        {"control bytes escaped", bytesOf(rgbeHeader + "-Y 2\t+X 3\r\n"),
         "corrupt Radiance HDR header (the size line '-Y 2\\x09+X 3\\x0d' is not -Y height +X "
         "width)"},
        {"size line unended", bytesOf(rgbeHeader + "-Y 2 +X 3"),
         "corrupt Radiance HDR header (the size line has no end)"},
        {"scan line of another width", eightWide + Bytes{2, 2, 0, 9} + Bytes(40, 1),
         "truncated or corrupt Radiance HDR data (scan line 1 declares width 9 in an image 8 "
         "wide)"},
        {"zero run length", eightWide + rleMarker + Bytes{0} + Bytes(40, 1),
         "truncated or corrupt Radiance HDR data (scan line 1 holds a zero run length)"},
        {"run past the width", eightWide + rleMarker + Bytes{128 + 9, 7} + Bytes(40, 1),
         "truncated or corrupt Radiance HDR data (scan line 1 overruns its width)"},
        {"dump past the width",
         eightWide + fullLine + rleMarker + Bytes{128 + 4, 7, 5} + Bytes(40, 1),
         "truncated or corrupt Radiance HDR data (scan line 2 overruns its width)"},
        {"run-length data ends early", eightWide + fullLine + rleMarker + Bytes{8, 1, 2, 3},
         "truncated or corrupt Radiance HDR data (scan line 2 of 2 ends early)"},
        {"run value missing", eightWide + fullLine + rleMarker + dump8 + dump8 + dump8 + Bytes{136},
         "truncated or corrupt Radiance HDR data (scan line 2 of 2 ends early)"},
        {"flat data ends early", eightWide + flatLine + Bytes(31, 200),
         "truncated or corrupt Radiance HDR data (scan line 2 of 2 ends early)"},
        {"old-style repeat pixel",
         bytesOf(rgbeHeader + sizeLine(3, 1)) + Bytes{128, 0, 0, 129, 1, 1, 1, 2, 9, 9, 9, 9},
         "truncated or corrupt Radiance HDR data (scan line 1 holds an old-style run-length pixel, "
         "which is not supported)"},
    };
    for (const Row& row : rows) {
        std::string error;
        const std::string file = std::string(row.name) + ".hdr";
        osg::ImagePtr image = load(file, row.bytes, error);
        EXPECT_EQ(image, osg::NullFC) << row.name;
        EXPECT_EQ(error, path(file) + ": " + row.message) << row.name;
    }
}

TEST_F(RadianceReaderTest, HeaderVariantsAndValues)
{
    // Two flat pixels worked out by hand: m * 2^(e - 136), all zero for e = 0.
    const Bytes pixels = {128, 64, 32, 129, 255, 1, 0, 0, 3, 5, 255, 255, 200, 100, 2, 1};
    const std::vector<float> expected = {1.0f,        0.5f,        0.25f,       0,
                                         0,           0,           0x1.8p120f,  0x1.4p121f,
                                         0x1.fep126f, 0x1.9p-128f, 0x1.9p-129f, 0x1p-134f};
    const std::pair<const char*, std::string> rows[] = {
        {"RGBE magic, no FORMAT", "#?RGBE\n\n"},
        {"variables and comments",
         "#?RADIANCE\n# made by hand\nEXPOSURE=2.5\nFORMAT=32-bit_rle_rgbe\nGAMMA=1\n\n"},
    };
    for (const auto& [name, header] : rows) {
        std::string error;
        osg::ImagePtr image = load("header.hdr", bytesOf(header + sizeLine(2, 2)) + pixels, error);
        ASSERT_NE(image, osg::NullFC) << name << ": " << error;
        osg::addRefCP(image);
        const float* data = reinterpret_cast<const float*>(image->getData());
        for (std::size_t i = 0; i < expected.size(); ++i) // data row 0 is the bottom row
            EXPECT_EQ(data[(i + 6) % 12], expected[i]) << name << ", value " << i;
        osg::subRefCP(image);
    }
}

// Pixels in runs of equal bytes (so that run-length coding has runs to find) with exponents that
// reach both ends of the float range, including denormal results and zero.
Bytes generatedPixels(int width, int height, std::mt19937& random)
{
    const unsigned char exponents[] = {0, 1, 2, 9, 100, 128, 136, 200, 254, 255};
    Bytes rgbe(4 * std::size_t(width) * std::size_t(height));
    std::size_t i = 0;
    while (i < rgbe.size() / 4) {
        const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 40)(random);
        const unsigned char top = static_cast<unsigned char>(128 + random() % 128);
        const unsigned char pixel[4] = {top, static_cast<unsigned char>(random()),
                                        static_cast<unsigned char>(random()),
                                        exponents[random() % std::size(exponents)]};
        for (std::size_t k = 0; k < length && i < rgbe.size() / 4; ++k, ++i)
            std::memcpy(&rgbe[4 * i], pixel, 4);
    }
    return rgbe;
}

// One component of a scan line run-length coded, choosing at random between runs (where bytes
// repeat) and dumps, of random lengths within the format's limits.
void codeComponent(const unsigned char* values, int width, std::mt19937& random, Bytes& out)
{
    int x = 0;
    while (x < width) {
        int same = 1;
        while (x + same < width && same < 127 && values[4 * (x + same)] == values[4 * x])
            ++same;
        if (random() % 3 != 0) {
            const int run = std::uniform_int_distribution<int>(1, same)(random);
            out.push_back(static_cast<unsigned char>(128 + run));
            out.push_back(values[4 * x]);
            x += run;
        } else {
            const int dump =
                std::uniform_int_distribution<int>(1, std::min(128, width - x))(random);
            out.push_back(static_cast<unsigned char>(dump));
            for (int k = 0; k < dump; ++k)
                out.push_back(values[4 * (x + k)]);
            x += dump;
        }
    }
}

Bytes radianceFile(int width, int height, bool runLength, std::mt19937& random)
{
    const Bytes rgbe = generatedPixels(width, height, random);
    Bytes file = bytesOf(rgbeHeader + sizeLine(width, height));
    if (!runLength)
        return file + rgbe;
    for (int y = 0; y < height; ++y) {
        const unsigned char* line = &rgbe[4 * std::size_t(width) * std::size_t(y)];
        file.insert(file.end(), {2, 2, static_cast<unsigned char>(width >> 8),
                                 static_cast<unsigned char>(width & 0xff)});
        for (int component = 0; component < 4; ++component)
            codeComponent(line + component, width, random, file);
    }
    return file;
}

TEST_F(RadianceReaderTest, GeneratedFilesDecodeAsStbDecodesThem)
{
    struct Row {
        const char* name;
        int width;
        int height;
        bool runLength;
    };
    const Row rows[] = {
        {"one pixel", 1, 1, false},
        {"flat, narrower than 8", 7, 5, false},
        {"flat lines at a run-length width", 16, 4, false},
        {"run-length, width 8", 8, 3, true},
        {"run-length, odd width", 301, 7, true},
        {"run-length, widest", 32767, 2, true},
        {"flat, wider than 32767", 32768, 2, false},
    };
    std::mt19937 random(18);
    for (const Row& row : rows)
        expectSameAsStb(row.name, radianceFile(row.width, row.height, row.runLength, random));
}

TEST_F(RadianceReaderTest, SharedEnvironmentsDecodeAsStbDecodesThem)
{
    for (const char* name : {"courtyard", "forest", "interior", "sunrise", "sunset"}) {
        std::string error;
        osg::ImagePtr exr =
            Morvek::loadImageFile(std::string(MORVEK_HDRI_DIR) + "/" + name + ".exr", error);
        ASSERT_NE(exr, osg::NullFC) << error;
        osg::addRefCP(exr);
        const int width = exr->getWidth();
        const int height = exr->getHeight();
        const std::size_t rowFloats = 3 * std::size_t(width);
        std::vector<float> topFirst(rowFloats * std::size_t(height));
        const float* data = reinterpret_cast<const float*>(exr->getData());
        for (int y = 0; y < height; ++y)
            std::memcpy(&topFirst[rowFloats * std::size_t(y)],
                        data + rowFloats * std::size_t(height - 1 - y), rowFloats * sizeof(float));
        osg::subRefCP(exr);

        const std::string file = path(std::string(name) + "-written.hdr");
        ASSERT_TRUE(stbi_write_hdr(file.c_str(), width, height, 3, topFirst.data()));
        std::ifstream in(file, std::ios::binary);
        expectSameAsStb(name, Bytes(std::istreambuf_iterator<char>(in), {}));
    }
}

} // namespace
