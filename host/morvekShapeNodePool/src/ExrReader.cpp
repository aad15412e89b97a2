#include "ExrReader.h"

#include <OpenEXR/Iex.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfPartType.h>
#include <OpenEXR/ImfThreading.h>
#include <OpenEXR/ImfTileDescription.h>
#include <OpenEXR/ImfVersion.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace Morvek {

namespace {

using Bytes = std::vector<unsigned char>;

// OpenEXR reads through this view of the file's bytes, so that every format is read from the
// same buffer and a short file reports itself the same way everywhere. It presents itself as
// memory-mapped, so that OpenEXR decompresses from the bytes in place instead of copying them.
class ByteStream : public Imf::IStream {
public:
    ByteStream(const Bytes& bytes, const char* name) : Imf::IStream(name), _bytes(bytes) {}

    bool isMemoryMapped() const override { return true; }
    char* readMemoryMapped(int n) override
    {
        char* at = reinterpret_cast<char*>(const_cast<unsigned char*>(_bytes.data())) + _pos;
        advance(n);
        return at;
    }
    bool read(char c[], int n) override
    {
        const std::uint64_t from = _pos;
        advance(n);
        std::memcpy(c, _bytes.data() + from, static_cast<std::size_t>(n));
        return _pos < _bytes.size();
    }
    std::uint64_t tellg() override { return _pos; }
    void seekg(std::uint64_t pos) override { _pos = pos; }
    void clear() override {}

private:
    void advance(int n)
    {
        if (n < 0 || _pos > _bytes.size() || static_cast<std::uint64_t>(n) > _bytes.size() - _pos)
            throw Iex::InputExc("unexpected end of file");
        _pos += static_cast<std::uint64_t>(n);
    }

    const Bytes& _bytes;
    std::uint64_t _pos = 0;
};

std::uint64_t littleEndian(const Bytes& bytes, std::uint64_t at, int size)
{
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[at + std::uint64_t(i)];
    return value;
}

// Names from the file may hold any byte; the error line must stay one printable line.
std::string printable(const char* text)
{
    std::string out;
    for (const char* c = text; *c != 0; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            out += *c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        }
    }
    return out;
}

// Scan lines each compression packs into one chunk.
long long linesPerChunk(Imf::Compression compression)
{
    switch (compression) {
    case Imf::ZIP_COMPRESSION:
    case Imf::PXR24_COMPRESSION:
        return 16;
    case Imf::PIZ_COMPRESSION:
    case Imf::B44_COMPRESSION:
    case Imf::B44A_COMPRESSION:
    case Imf::DWAA_COMPRESSION:
        return 32;
    case Imf::DWAB_COMPRESSION:
        return 256;
    default:
        return 1;
    }
}

// Level count and the size of level `level` along one side of `size` pixels.
int levelCount(long long size, Imf::LevelRoundingMode rounding)
{
    int levels = 1;
    for (long long s = size; s > 1; s = rounding == Imf::ROUND_UP ? (s + 1) / 2 : s / 2)
        ++levels;
    return levels;
}

long long levelSize(long long size, int level, Imf::LevelRoundingMode rounding)
{
    const long long divisor = 1ll << level;
    return std::max(rounding == Imf::ROUND_UP ? (size + divisor - 1) / divisor : size / divisor,
                    1ll);
}

// Chunks a part's offset table lists: the header says so in multi-part files; otherwise they
// follow from the data window, the compression and the tiling.
long long chunkCount(const Imf::Header& header, bool tiled)
{
    if (header.hasChunkCount())
        return header.chunkCount();
    const Imath::Box2i window = header.dataWindow();
    const long long width = static_cast<long long>(window.max.x) - window.min.x + 1;
    const long long height = static_cast<long long>(window.max.y) - window.min.y + 1;
    if (!tiled) {
        const long long lines = linesPerChunk(header.compression());
        return (height + lines - 1) / lines;
    }
    const Imf::TileDescription& tiles = header.tileDescription();
    // Parts after the first are not size-checked: the count saturates at 2^40 tiles a level,
    // far beyond any file's table, instead of overflowing.
    auto tileCount = [&](long long w, long long h) {
        const long long x = (w + tiles.xSize - 1) / tiles.xSize;
        const long long y = (h + tiles.ySize - 1) / tiles.ySize;
        return x > (1ll << 40) / y ? 1ll << 40 : x * y;
    };
    const Imf::LevelRoundingMode r = tiles.roundingMode;
    long long count = 0;
    if (tiles.mode == Imf::ONE_LEVEL) {
        count = tileCount(width, height);
    } else if (tiles.mode == Imf::MIPMAP_LEVELS) {
        for (int l = 0, n = levelCount(std::max(width, height), r); l < n; ++l)
            count += tileCount(levelSize(width, l, r), levelSize(height, l, r));
    } else {
        for (int ly = 0, ny = levelCount(height, r); ly < ny; ++ly)
            for (int lx = 0, nx = levelCount(width, r); lx < nx; ++lx)
                count += tileCount(levelSize(width, lx, r), levelSize(height, ly, r));
    }
    return count;
}

// Most raw bytes one packed byte can stand for with each compression, generously rounded up:
// deflate expands at most about 1032 to 1, OpenEXR's run-length code 128 bytes from 2, B44A
// a 32-byte block from 3. PIZ's Huffman code needs at least 9 bits (a 1-bit run code and an
// 8-bit count) for 255 repeats of a 16-bit word: at most 453 to 1. The DCT coders keep one
// deflated 16-bit DC value per 8 x 8 block and channel, 256 raw bytes of float: at most about
// 132000 to 1, a weak bound that still refuses a header with no pixel data behind it.
long long maxExpansion(Imf::Compression compression)
{
    switch (compression) {
    case Imf::NO_COMPRESSION:
        return 1;
    case Imf::RLE_COMPRESSION:
        return 70;
    case Imf::ZIPS_COMPRESSION:
    case Imf::ZIP_COMPRESSION:
        return 1100;
    case Imf::PXR24_COMPRESSION:
        return 1400; // 32-bit floats cut to 24 bits before deflate
    case Imf::B44_COMPRESSION:
    case Imf::B44A_COMPRESSION:
        return 12;
    case Imf::PIZ_COMPRESSION:
        return 460;
    case Imf::DWAA_COMPRESSION:
    case Imf::DWAB_COMPRESSION:
        return 132100;
    default:
        return 0;
    }
}

// Raw bytes of the full-resolution pixels of all channels (a lower bound with subsampling).
long long rawBytes(const Imf::Header& header, long long width, long long height)
{
    long long bytes = 0;
    for (auto it = header.channels().begin(); it != header.channels().end(); ++it) {
        const Imf::Channel& channel = it.channel();
        const long long perPixel = channel.type == Imf::HALF ? 2 : 4;
        bytes += perPixel * (width / std::max(channel.xSampling, 1)) *
                 (height / std::max(channel.ySampling, 1));
    }
    return bytes;
}

// Whether the channels hold a picture: R, G and B, or a lone Y (`grey`).
bool colourChannels(const Imf::ChannelList& channels, bool& grey)
{
    const bool hasR = channels.findChannel("R") != nullptr;
    const bool hasG = channels.findChannel("G") != nullptr;
    const bool hasB = channels.findChannel("B") != nullptr;
    grey = !(hasR || hasG || hasB) && channels.findChannel("Y") != nullptr;
    return grey || (hasR && hasG && hasB);
}

// Walks the attributes of every header without reading their values: each attribute's size
// must fit in the rest of the file, since OpenEXR sizes some values (strings) from the size
// field alone and would fill gigabytes for a few bytes of header.
bool attributesFit(const Bytes& bytes, bool multiPart, std::string& why)
{
    const std::size_t size = bytes.size();
    // End of the null-terminated text at `from` (names and types have at most 255 bytes).
    auto textEnd = [&](std::size_t from) {
        const std::size_t last = std::min(size, from + 256);
        for (std::size_t i = from; i < last; ++i)
            if (bytes[i] == 0)
                return i;
        return size;
    };
    std::size_t at = 8;
    for (;;) {
        while (at < size && bytes[at] != 0) {
            const std::size_t nameEnd = textEnd(at);
            const std::size_t typeEnd = nameEnd < size ? textEnd(nameEnd + 1) : size;
            if (typeEnd >= size || size - typeEnd - 1 < 4) {
                why = "the header ends inside an attribute's name or type";
                return false;
            }
            const auto length = static_cast<std::int32_t>(littleEndian(bytes, typeEnd + 1, 4));
            const std::size_t value = typeEnd + 5;
            if (length < 0 || std::size_t(length) > size - value) {
                const std::string name(bytes.begin() + std::ptrdiff_t(at),
                                       bytes.begin() + std::ptrdiff_t(nameEnd));
                why = "attribute " + printable(name.c_str()) + " declares " +
                      std::to_string(length) + " bytes, " + std::to_string(size - value) +
                      " remain in the file";
                return false;
            }
            at = value + std::size_t(length);
        }
        if (at >= size) {
            why = "the header ends early";
            return false;
        }
        ++at; // the header's closing null
        if (!multiPart || (at < size && bytes[at] == 0))
            return true;
    }
}

// Reads the header (all headers of a multi-part file, of which part 0 is the picture), checks
// the picture's size, then holds every part's offset table against the file's length: each
// chunk must start after the tables and, with the size its own header gives, end inside the
// file. Fails with one line in `error`.
bool readLayout(const Bytes& bytes, ImageTarget& target, Imf::Header& first, std::string& error)
{
    const std::string corrupt = target.path() + ": corrupt or truncated OpenEXR data (";
    ByteStream stream(bytes, target.path().c_str());
    char head[8];
    stream.read(head, 8);
    int version = static_cast<int>(littleEndian(bytes, 4, 4));
    if (Imf::getVersion(version) != Imf::EXR_VERSION ||
        !Imf::supportsFlags(Imf::getFlags(version))) {
        error = corrupt + "unsupported version or flags " + std::to_string(version) + ")";
        return false;
    }
    const bool multiPart = Imf::isMultiPart(version);
    std::string why;
    if (!attributesFit(bytes, multiPart, why)) {
        error = corrupt + why + ")";
        return false;
    }
    std::vector<Imf::Header> headers;
    do {
        headers.emplace_back().readFrom(stream, version);
        if (multiPart) {
            char next = 0;
            stream.read(&next, 1);
            if (next == 0)
                break;
            stream.seekg(stream.tellg() - 1);
        }
    } while (multiPart);
    first = headers.front();

    const Imath::Box2i window = first.dataWindow();
    if (!target.checkSize(static_cast<long long>(window.max.x) - window.min.x + 1,
                          static_cast<long long>(window.max.y) - window.min.y + 1, error))
        return false;
    if (first.hasType() && Imf::isDeepData(first.type())) {
        error = target.path() + ": deep OpenEXR images are not supported";
        return false;
    }
    bool grey = false;
    if (!colourChannels(first.channels(), grey)) {
        std::string found;
        for (auto it = first.channels().begin(); it != first.channels().end(); ++it)
            found += (found.empty() ? "" : ", ") + printable(it.name());
        error = target.path() +
                ": OpenEXR image without colour channels (needs R, G and B, or Y); it has " +
                (found.empty() ? std::string("no channels") : found);
        return false;
    }

    const auto fileSize = static_cast<std::uint64_t>(bytes.size());
    std::vector<long long> counts;
    std::vector<bool> tiledParts;
    std::uint64_t total = 0;
    for (const Imf::Header& header : headers) {
        const bool tiled = header.hasType() ? Imf::isTiled(header.type()) : Imf::isTiled(version);
        header.sanityCheck(tiled, multiPart);
        const long long count = chunkCount(header, tiled);
        if (count <= 0) {
            error = corrupt + "a part declares " + std::to_string(count) + " chunks)";
            return false;
        }
        counts.push_back(count);
        tiledParts.push_back(tiled);
        // Saturates (see chunkCount) so that 8 * total cannot overflow.
        total = std::min(total + static_cast<std::uint64_t>(count), std::uint64_t(1) << 60);
    }
    const std::uint64_t tableStart = stream.tellg();
    const std::uint64_t tableEnd = tableStart + 8 * total;
    if (tableEnd > fileSize) {
        error = corrupt + "the chunk table of " + std::to_string(total) + " entries from byte " +
                std::to_string(tableStart) + " ends beyond the end of the file, " +
                std::to_string(fileSize) + " bytes)";
        return false;
    }

    std::uint64_t entry = tableStart;
    std::uint64_t index = 0;
    for (std::size_t part = 0; part < headers.size(); ++part) {
        const bool deep = headers[part].hasType() && Imf::isDeepData(headers[part].type());
        // Before the packed size: the part number, then y, or the tile's x, y and levels.
        const std::uint64_t sizeAt = (multiPart ? 4 : 0) + (tiledParts[part] ? 16 : 4);
        for (long long i = 0; i < counts[part]; ++i, entry += 8) {
            const std::uint64_t offset = littleEndian(bytes, entry, 8);
            ++index;
            const bool starts =
                offset >= tableEnd && offset <= fileSize && fileSize - offset >= sizeAt + 4;
            const std::uint64_t packed =
                starts && !deep ? littleEndian(bytes, offset + sizeAt, 4) : 0;
            if (!starts || packed > fileSize - offset - sizeAt - 4) {
                error = corrupt + "chunk " + std::to_string(index) + " of " +
                        std::to_string(total) +
                        (starts ? " ends beyond the end of the file: "
                                : " does not start between the tables and the end: ") +
                        "offset " + std::to_string(offset) +
                        (starts ? ", " + std::to_string(packed) + " bytes" : std::string()) +
                        ", file of " + std::to_string(fileSize) + " bytes)";
                return false;
            }
        }
    }
    // A file far smaller than its pixels could be packed into is refused before gigabytes are
    // allocated for them.
    const long long width = static_cast<long long>(window.max.x) - window.min.x + 1;
    const long long height = static_cast<long long>(window.max.y) - window.min.y + 1;
    const long long expansion = maxExpansion(first.compression());
    if (expansion > 0 &&
        rawBytes(first, width, height) / expansion > static_cast<long long>(fileSize)) {
        error = corrupt + "a file of " + std::to_string(fileSize) + " bytes cannot hold " +
                std::to_string(width) + " x " + std::to_string(height) + " pixels of " +
                std::to_string(rawBytes(first, width, height) / (width * height)) +
                " bytes with this compression)";
        return false;
    }
    return true;
}

// OpenEXR decodes chunks on its global thread pool; without threads there it decodes on the
// caller's. One thread per core, unless the program chose a count itself.
std::atomic<bool> useDecodeThreads{true};

int decodeThreads()
{
    if (!useDecodeThreads.load(std::memory_order_relaxed))
        return 0;
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    if (Imf::globalThreadCount() == 0)
        Imf::setGlobalThreadCount(int(std::max(1u, std::thread::hardware_concurrency())));
    return Imf::globalThreadCount();
}

} // namespace

void ExrReader::setUseThreads(bool useThreads)
{
    useDecodeThreads.store(useThreads, std::memory_order_relaxed);
}

bool ExrReader::read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                     std::string& error)
{
    const std::string& path = target.path();
    try {
        // Everything the header and the offset tables can tell is checked before any pixel
        // store exists, so that a refused file costs no more than reading its header.
        Imf::Header header;
        if (!readLayout(bytes, target, header, error))
            return false;
        const Imath::Box2i window = header.dataWindow();
        const long long width = static_cast<long long>(window.max.x) - window.min.x + 1;
        const long long height = static_cast<long long>(window.max.y) - window.min.y + 1;

        bool grey = false;
        colourChannels(header.channels(), grey);

        ByteStream stream(bytes, path.c_str());
        Imf::InputFile file(stream, decodeThreads());
        if (!target.allocate(int(width), int(height), osg::Image::OSG_FLOAT32_IMAGEDATA, error))
            return false;
        const std::size_t pixelBytes = 3 * sizeof(float);
        const std::size_t rowBytes = target.rowBytes();

        // OpenEXR addresses a pixel as base + x * xStride + y * yStride with the data window's
        // own coordinates. The image keeps the bottom row first: the top row (min.y) lands in
        // the last row and each next row one row lower, so the row stride is negative. The
        // base lies far outside the image when the window's origin does (a file may put it
        // anywhere in 32 bits), so it is computed on addresses, where wrapping is defined, not
        // on pointers.
        const std::uintptr_t top = reinterpret_cast<std::uintptr_t>(target.pictureRow(0));
        char* base = reinterpret_cast<char*>(
            top -
            static_cast<std::uintptr_t>(static_cast<std::int64_t>(window.min.x) *
                                        static_cast<std::int64_t>(pixelBytes)) +
            static_cast<std::uintptr_t>(static_cast<std::int64_t>(window.min.y) *
                                        static_cast<std::int64_t>(rowBytes)));
        Imf::FrameBuffer frame;
        const char* names[3] = {"R", "G", "B"};
        for (int c = 0; c < (grey ? 1 : 3); ++c)
            frame.insert(grey ? "Y" : names[c],
                         Imf::Slice(Imf::FLOAT, base + c * sizeof(float), pixelBytes,
                                    -static_cast<std::ptrdiff_t>(rowBytes)));
        file.setFrameBuffer(frame);
        file.readPixels(window.min.y, window.max.y);

        if (grey) {
            float* p = reinterpret_cast<float*>(target.pictureRow(target.height() - 1));
            for (std::size_t i = 0, n = static_cast<std::size_t>(width * height); i < n; ++i)
                p[3 * i + 1] = p[3 * i + 2] = p[3 * i];
        }
        return true;
    } catch (const std::exception& e) {
        error = path + ": corrupt or truncated OpenEXR data (" + printable(e.what()) + ")";
        return false;
    }
}

} // namespace Morvek
