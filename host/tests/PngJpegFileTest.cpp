// PNG and JPEG files built byte by byte here (chunks with their checksums, markers with their
// lengths), so that each row of a table changes one thing in an otherwise valid file and names
// the exact line the loader must give, or the pixels it must produce.

#include "morvekShapeNodePool/ImageFile.h"

#include "ScratchFolderTest.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using imageFileTests::Bytes;
using imageFileTests::readBytes;
using imageFileTests::writeBytes;

// ---- PNG ------------------------------------------------------------------------------------

// Bitwise CRC-32 as the PNG standard defines it; the loader keeps a table-driven one.
std::uint32_t crc(const Bytes& bytes)
{
    std::uint32_t c = 0xffffffffu;
    for (unsigned char b : bytes) {
        c ^= b;
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1)));
    }
    return ~c;
}

void put32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

Bytes chunk(const char* type, const Bytes& data)
{
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    Bytes out;
    put32(out, std::uint32_t(data.size()));
    out.insert(out.end(), typed.begin(), typed.end());
    put32(out, crc(typed));
    return out;
}

Bytes header(std::uint32_t width, std::uint32_t height, int depth, int colorType)
{
    Bytes data;
    put32(data, width);
    put32(data, height);
    data.insert(data.end(), {static_cast<unsigned char>(depth),
                             static_cast<unsigned char>(colorType), 0, 0, 0});
    return data;
}

// A zlib stream of one stored (uncompressed) block holding `raw`.
Bytes stored(const Bytes& raw)
{
    Bytes out = {0x78, 0x01, 0x01};
    const auto n = static_cast<std::uint16_t>(raw.size());
    out.insert(out.end(), {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                           static_cast<unsigned char>(~n), static_cast<unsigned char>(~n >> 8)});
    out.insert(out.end(), raw.begin(), raw.end());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(out, b << 16 | a);
    return out;
}

// A PNG of the given chunks; rows are the filtered scan lines (filter byte 0 first).
Bytes png(const std::vector<Bytes>& chunks)
{
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (const Bytes& c : chunks)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}

// ---- JPEG -----------------------------------------------------------------------------------

// Offset of the first marker `m` (the 0xFF byte) in a JPEG, from its start.
std::size_t findMarker(const Bytes& jpeg, unsigned char m)
{
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xff && jpeg[pos + 1] != m)
        pos += 2 + std::size_t(jpeg[pos + 2] << 8 | jpeg[pos + 3]);
    return pos;
}

// Bytes from the marker at `at` to the end of its segment.
std::size_t segmentSize(const Bytes& jpeg, std::size_t at)
{
    return 2 + std::size_t(jpeg[at + 2] << 8 | jpeg[at + 3]);
}

// Coded bytes of a file's only scan (from its marker at `sos` to the end-of-image marker), not
// counting the zero stuffed after each 0xFF.
std::size_t codedBytes(const Bytes& jpeg, std::size_t sos)
{
    std::size_t n = 0;
    for (std::size_t i = sos + segmentSize(jpeg, sos); i + 2 < jpeg.size(); ++i)
        n += jpeg[i] == 0 && jpeg[i - 1] == 0xff ? 0 : 1;
    return n;
}

Bytes segment(unsigned char marker, const Bytes& body)
{
    Bytes out(body.size() + 4);
    out[0] = 0xff;
    out[1] = marker;
    out[2] = static_cast<unsigned char>((body.size() + 2) >> 8);
    out[3] = static_cast<unsigned char>(body.size() + 2);
    for (std::size_t i = 0; i < body.size(); ++i)
        out[4 + i] = body[i];
    return out;
}

// A Huffman table segment whose counts per code length (1..16) are `counts`, symbols 0, 1, ...
Bytes huffman(int tableClass, const std::vector<int>& counts)
{
    Bytes body(17, 0);
    body[0] = static_cast<unsigned char>(tableClass << 4);
    int symbols = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        body[1 + i] = static_cast<unsigned char>(counts[i]);
        symbols += counts[i];
    }
    for (int i = 0; i < symbols; ++i)
        body.push_back(static_cast<unsigned char>(i));
    return segment(0xc4, body);
}

class PngJpegFileTest : public imageFileTests::ScratchFolderTest {
protected:
    std::string write(const std::string& name, const Bytes& bytes) const
    {
        const std::string file = path(name);
        writeBytes(file, bytes);
        return file;
    }

    // Loads; on success returns the RGB bytes with picture row 0 first, else sets `error`.
    Bytes load(const std::string& file, std::string& error) const
    {
        osg::ImagePtr image = Morvek::loadImageFile(file, error);
        if (image == osg::NullFC)
            return {};
        osg::addRefCP(image);
        const int w = image->getWidth();
        const int h = image->getHeight();
        Bytes rgb;
        for (int y = h - 1; y >= 0; --y) // data row 0 is the bottom of the picture
            rgb.insert(rgb.end(), image->getData() + 3 * w * y, image->getData() + 3 * w * (y + 1));
        osg::subRefCP(image);
        return rgb;
    }

    // A row: a file name, its bytes, and either the exact line after "<path>: " or the pixels.
    struct Row {
        const char* name;
        Bytes bytes;
        std::string error;
        Bytes pixels = {};
    };
    void expectRows(const std::vector<Row>& rows) const
    {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            const std::string file = write(row.name, row.bytes);
            std::string error;
            const Bytes pixels = load(file, error);
            if (row.error.empty()) {
                EXPECT_EQ(error, "");
                EXPECT_EQ(pixels, row.pixels);
            } else {
                EXPECT_EQ(error, file + ": " + row.error);
            }
        }
    }
};

TEST_F(PngJpegFileTest, PngChunksAreCheckedBeforeDecoding)
{
    // 2 x 1 RGB: red, blue.
    const Bytes rgbRows = {0, 255, 0, 0, 0, 0, 255};
    const Bytes ihdr = chunk("IHDR", header(2, 1, 8, 2));
    const Bytes idat = chunk("IDAT", stored(rgbRows));
    const Bytes iend = chunk("IEND", {});
    Bytes badCrc = idat;
    badCrc.back() ^= 1;
    const Bytes wholeIdat = png({ihdr, idat, iend});
    const Bytes endsInIdat(wholeIdat.begin(), wholeIdat.end() - 14);
    // The zlib stream stops before its rows are complete; every chunk is intact.
    const Bytes shortRows = stored({0, 255, 0});

    const std::vector<Row> rows = {
        {"rgb.png", wholeIdat, "", {255, 0, 0, 0, 0, 255}},
        {"text-chunk.png",
         png({ihdr, chunk("tEXt", {'a', 0, 'b'}), idat, iend}),
         "",
         {255, 0, 0, 0, 0, 255}},
        {"bad-crc.png", png({ihdr, badCrc, iend}),
         "corrupt PNG data: chunk IDAT has a bad checksum"},
        {"no-iend.png", png({ihdr, idat}),
         "truncated PNG data: the stream ends before its end chunk (IEND)"},
        {"ends-in-idat.png", endsInIdat, "truncated PNG data: the stream ends inside chunk IDAT"},
        {"no-idat.png", png({ihdr, iend}),
         "truncated PNG data: no image data (IDAT) before the end chunk"},
        {"idat-first.png", png({idat, ihdr, iend}),
         "corrupt PNG data: the first chunk is not the header (IHDR)"},
        {"two-headers.png", png({ihdr, ihdr, idat, iend}),
         "corrupt PNG data: a second header chunk (IHDR)"},
        {"zero.png", png({chunk("IHDR", header(0, 0, 8, 2)), idat, iend}),
         "the image has no pixels (0 x 0)"},
        {"huge.png", png({chunk("IHDR", header(100000, 100000, 8, 2)), idat, iend}),
         "the image is larger than 65535 pixels on a side (100000 x 100000)"},
        {"rgb-4bit.png", png({chunk("IHDR", header(2, 1, 4, 2)), idat, iend}),
         "corrupt PNG data: colour type 2 with 4-bit samples"},
        {"short-ihdr.png", png({chunk("IHDR", {0, 0, 0, 2}), idat, iend}),
         "corrupt PNG data: the header chunk (IHDR) holds 4 bytes, not 13"},
        {"huge-chunk.png", png({ihdr, Bytes{0x80, 0, 0, 0, 'I', 'D', 'A', 'T'}}),
         "corrupt PNG data: chunk IDAT declares 2147483648 bytes"},
        {"odd-type.png", png({ihdr, chunk("I\nAT", {}), idat, iend}),
         "corrupt PNG data: a chunk with an invalid type"},
        {"unknown-critical.png", png({ihdr, chunk("ABCD", {}), idat, iend}),
         "corrupt PNG data: unknown critical chunk ABCD"},
        {"short-rows.png", png({ihdr, chunk("IDAT", shortRows), iend}),
         "corrupt or truncated PNG data (not enough pixels)"},
    };
    expectRows(rows);
}

TEST_F(PngJpegFileTest, PaletteIndexesBeyondThePaletteAreRefused)
{
    const Bytes plte = chunk("PLTE", {10, 20, 30, 200, 100, 50}); // two entries
    const Bytes iend = chunk("IEND", {});
    // 8-bit indexes (4 x 1) and 1-bit indexes (4 x 1: 0, 1, 1, 0 in one byte).
    const Bytes ihdr8 = chunk("IHDR", header(4, 1, 8, 3));
    const Bytes ihdr1 = chunk("IHDR", header(4, 1, 1, 3));
    const Bytes inside = {10, 20, 30, 200, 100, 50, 200, 100, 50, 10, 20, 30};

    const std::vector<Row> rows = {
        {"indexes.png", png({ihdr8, plte, chunk("IDAT", stored({0, 0, 1, 1, 0})), iend}), "",
         inside},
        {"bits.png", png({ihdr1, plte, chunk("IDAT", stored({0, 0x60})), iend}), "", inside},
        {"transparent.png",
         png({ihdr8, plte, chunk("tRNS", {0}), chunk("IDAT", stored({0, 0, 1, 1, 0})), iend}), "",
         inside},
        {"beyond.png", png({ihdr8, plte, chunk("IDAT", stored({0, 0, 1, 7, 0})), iend}),
         "corrupt PNG data: pixel (2, 0) uses palette entry 7 of 2"},
        {"no-palette.png", png({ihdr8, chunk("IDAT", stored({0, 0, 1, 1, 0})), iend}),
         "corrupt PNG data: an indexed-colour image without a palette (PLTE)"},
        {"long-trns.png",
         png({ihdr8, plte, chunk("tRNS", {0, 0, 0}), chunk("IDAT", stored({0, 0, 1, 1, 0})), iend}),
         "corrupt PNG data: transparency (tRNS) for more entries than the palette has"},
        {"palette-7-bytes.png",
         png({ihdr8, chunk("PLTE", {1, 2, 3, 4, 5, 6, 7}), chunk("IDAT", stored({0, 0, 0, 0, 0})),
              iend}),
         "corrupt PNG data: a palette (PLTE) of 7 bytes, or out of place"},
    };
    expectRows(rows);
}

TEST_F(PngJpegFileTest, JpegMarkersAreCheckedBeforeDecoding)
{
    // A real baseline file: 16 x 16 grey, from the encoder the tool writes overlays with.
    const Bytes grey(16 * 16, 128);
    Bytes good;
    stbi_write_jpg_to_func(
        [](void* to, void* data, int size) {
            auto* bytes = static_cast<Bytes*>(to);
            bytes->insert(bytes->end(), static_cast<unsigned char*>(data),
                          static_cast<unsigned char*>(data) + size);
        },
        &good, 16, 16, 1, grey.data(), 90);
    ASSERT_GT(good.size(), 100u);
    const std::size_t sof = findMarker(good, 0xc0);
    const std::size_t sos = findMarker(good, 0xda);
    ASSERT_LT(sos, good.size());
    // The encoder writes grey as Y, Cb, Cr with Y sampled 2 x 2: an 8192 x 8192 frame is then
    // 1024 x 1024 blocks of Y and 512 x 512 of each colour difference, 1572864 in all.
    ASSERT_EQ(good[sof + 9], 3);
    ASSERT_EQ(good[sof + 11], 0x22);
    const Bytes soi = {0xff, 0xd8};
    const Bytes eoi = {0xff, 0xd9};
    const Bytes tables(good.begin() + 2, good.begin() + std::ptrdiff_t(sos));

    // The frame header rewritten to another size; the rest of the file stays.
    auto resized = [&](int width, int height) {
        Bytes b = good;
        b[sof + 5] = static_cast<unsigned char>(height >> 8);
        b[sof + 6] = static_cast<unsigned char>(height);
        b[sof + 7] = static_cast<unsigned char>(width >> 8);
        b[sof + 8] = static_cast<unsigned char>(width);
        return b;
    };
    const Bytes noEnd(good.begin(), good.end() - 2);
    Bytes lossless = good;
    lossless[sof + 1] = 0xc3;
    Bytes undefinedTable = good;
    undefinedTable[sos + 6] = 0x33; // the scan's component asks for tables 3
    // Frame and scan of a 16 x 16 picture but tables that overrun or do not fit; no data after.
    const Bytes frame(good.begin() + std::ptrdiff_t(sof),
                      good.begin() + std::ptrdiff_t(sof + segmentSize(good, sof)));
    std::vector<int> overrun(16, 0);
    overrun[8] = overrun[9] = overrun[10] = 200; // 600 symbols: more than a table holds
    // The scan's coded bytes all ones (0xFF stuffed as 0xFF 0x00): as many bytes as before, so
    // the stream's walk passes, but no Huffman code is all ones.
    Bytes allOnes(good.begin(), good.begin() + std::ptrdiff_t(sos + segmentSize(good, sos)));
    for (std::size_t i = 0; i < codedBytes(good, sos); ++i)
        allOnes.insert(allOnes.end(), {0xff, 0x00});
    allOnes.insert(allOnes.end(), {0xff, 0xd9});
    auto join = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    };

    const std::vector<Row> rows = {
        {"good.jpg", good, "", Bytes(16 * 16 * 3, 128)},
        {"frame-8192.jpg", resized(8192, 8192),
         "truncated JPEG data: a scan holds " + std::to_string(codedBytes(good, sos)) +
             " bytes for 1572864 blocks of 8192 x 8192 pixels"},
        {"frame-65535.jpg", resized(65535, 65535),
         "the image is too large to load (65535 x 65535 pixels, at most " +
             std::to_string(Morvek::maxImageFilePixels) + ", 2 GiB as float RGB)"},
        {"height-0.jpg", resized(16, 0), "the image has no pixels (16 x 0)"},
        {"no-eoi.jpg", noEnd,
         "truncated JPEG data: the image data ends without an end-of-image marker"},
        {"no-scan.jpg", join({soi, tables, eoi}), "truncated JPEG data: no image data"},
        {"tables-only.jpg", join({soi, tables}), "truncated JPEG data: no image data"},
        {"lossless.jpg", lossless,
         "corrupt JPEG data: lossless, hierarchical or arithmetic coding (frame marker 0xC3) is "
         "not supported"},
        {"undefined-table.jpg", undefinedTable,
         "corrupt JPEG data: a scan uses a Huffman table that is not defined"},
        {"overrun.jpg", join({soi, huffman(0, overrun), frame, eoi}),
         "corrupt JPEG data: a Huffman table of 600 symbols (at most 256)"},
        {"not-fitting.jpg", join({soi, huffman(1, {3}), frame, eoi}),
         "corrupt JPEG data: a Huffman table whose code lengths do not fit"},
        {"scan-first.jpg", join({soi, Bytes(good.begin() + std::ptrdiff_t(sos), good.end())}),
         "corrupt JPEG data: image data before the frame header"},
        {"short-segment.jpg", join({soi, Bytes{0xff, 0xe0, 0x00, 0x01}, eoi}),
         "corrupt JPEG data: marker 0xE0 has a length below 2"},
        // Past the walk, the decoder's own complaints about the coded data are refusals too.
        {"all-ones.jpg", allOnes, "corrupt JPEG data: bad Huffman code"},
    };
    expectRows(rows);
}

} // namespace
