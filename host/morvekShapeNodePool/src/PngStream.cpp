#include "PngStream.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace Morvek {

namespace {

using Bytes = std::vector<unsigned char>;

const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

std::uint32_t bigEndian32(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

void putBigEndian32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

// CRC-32 of the PNG standard, eight bytes a step (slicing by 8): the whole file passes through
// it before decoding, so it must cost little next to inflating the same bytes.
std::uint32_t crc32(const unsigned char* data, std::size_t size)
{
    using Tables = std::array<std::array<std::uint32_t, 256>, 8>;
    static const Tables tables = [] {
        Tables t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (std::size_t k = 1; k < 8; ++k)
            for (std::size_t n = 0; n < 256; ++n)
                t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xff];
        return t;
    }();
    std::uint32_t c = 0xffffffffu;
    for (; size >= 8; data += 8, size -= 8) {
        const std::uint32_t low = c ^ (std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                                       std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24);
        c = tables[7][low & 0xff] ^ tables[6][(low >> 8) & 0xff] ^ tables[5][(low >> 16) & 0xff] ^
            tables[4][low >> 24] ^ tables[3][data[4]] ^ tables[2][data[5]] ^ tables[1][data[6]] ^
            tables[0][data[7]];
    }
    for (; size > 0; ++data, --size)
        c = tables[0][(c ^ *data) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

// The standard allows only letters in a chunk type; anything else is no PNG chunk at all.
bool lettersOnly(const unsigned char* type)
{
    for (int i = 0; i < 4; ++i)
        if (!((type[i] >= 'A' && type[i] <= 'Z') || (type[i] >= 'a' && type[i] <= 'z')))
            return false;
    return true;
}

bool validDepth(int colorType, int depth)
{
    switch (colorType) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

} // namespace

bool PngStream::check(const Bytes& bytes, const ImageTarget& target, std::string& error)
{
    const std::string corrupt = target.path() + ": corrupt PNG data: ";
    const std::string truncated = target.path() + ": truncated PNG data: ";
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0) {
        error = corrupt + "no PNG signature";
        return false;
    }
    _paletteEntries = 0;
    int colorType = -1;
    bool palette = false;
    bool imageData = false;
    std::size_t pos = 8;
    for (int index = 0;; ++index) {
        if (bytes.size() - pos < 8) {
            error = truncated + "the stream ends before its end chunk (IEND)";
            return false;
        }
        const std::uint32_t length = bigEndian32(&bytes[pos]);
        const unsigned char* type = &bytes[pos + 4];
        if (!lettersOnly(type)) {
            error = corrupt + "a chunk with an invalid type";
            return false;
        }
        const std::string name(reinterpret_cast<const char*>(type), 4);
        if (length > 0x7fffffffu) {
            error = corrupt + "chunk " + name + " declares " + std::to_string(length) + " bytes";
            return false;
        }
        if (bytes.size() - pos < 12 + std::size_t(length)) {
            error = truncated + "the stream ends inside chunk " + name;
            return false;
        }
        const unsigned char* data = type + 4;
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        // A fuzzer's mutations would almost never survive this check and reach the decoder.
        if (crc32(type, length + 4) != bigEndian32(data + length)) {
            error = corrupt + "chunk " + name + " has a bad checksum";
            return false;
        }
#endif
        pos += 12 + std::size_t(length);

        const bool isHeader = std::memcmp(type, "IHDR", 4) == 0;
        if ((index == 0) != isHeader) {
            error = corrupt + (isHeader ? "a second header chunk (IHDR)"
                                        : "the first chunk is not the header (IHDR)");
            return false;
        }
        if (isHeader) {
            if (length != 13) {
                error = corrupt + "the header chunk (IHDR) holds " + std::to_string(length) +
                        " bytes, not 13";
                return false;
            }
            const int depth = data[8];
            colorType = data[9];
            if (!validDepth(colorType, depth)) {
                error = corrupt + "colour type " + std::to_string(colorType) + " with " +
                        std::to_string(depth) + "-bit samples";
                return false;
            }
            if (data[10] != 0 || data[11] != 0 || data[12] > 1) {
                error = corrupt + "unknown compression, filter or interlace method";
                return false;
            }
            // Above 2^31 a size is invalid for PNG, so it can only be refused.
            if (!target.checkSize(bigEndian32(data), bigEndian32(data + 4), error))
                return false;
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            if (palette || imageData || length == 0 || length % 3 != 0 || length > 768) {
                error = corrupt + "a palette (PLTE) of " + std::to_string(length) +
                        " bytes, or out of place";
                return false;
            }
            palette = true;
            _paletteEntries = colorType == 3 ? int(length / 3) : 0;
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            if (colorType == 3 && (!palette || length > unsigned(_paletteEntries))) {
                error = corrupt + "transparency (tRNS) for more entries than the palette has";
                return false;
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            if (colorType == 3 && !palette) {
                error = corrupt + "an indexed-colour image without a palette (PLTE)";
                return false;
            }
            imageData = true;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            if (!imageData) {
                error = truncated + "no image data (IDAT) before the end chunk";
                return false;
            }
            return true;
        } else if (type[0] < 'a') {
            // A critical chunk the format does not define: the picture cannot be trusted.
            error = corrupt + "unknown critical chunk " + name;
            return false;
        }
    }
}

Bytes PngStream::palette(const Bytes& bytes) const
{
    std::size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        const std::uint32_t length = bigEndian32(&bytes[pos]);
        if (std::memcmp(&bytes[pos + 4], "PLTE", 4) == 0)
            return Bytes(bytes.begin() + std::ptrdiff_t(pos + 8),
                         bytes.begin() + std::ptrdiff_t(pos + 8 + length));
        pos += 12 + std::size_t(length);
    }
    return {};
}

Bytes PngStream::withIdentityPalette(const Bytes& bytes) const
{
    Bytes out(bytes.begin(), bytes.begin() + 8);
    out.reserve(bytes.size() + 768);
    std::size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        const std::uint32_t length = bigEndian32(&bytes[pos]);
        const std::size_t end = pos + 12 + length;
        if (std::memcmp(&bytes[pos + 4], "PLTE", 4) == 0) {
            putBigEndian32(out, 768);
            const std::size_t typeAt = out.size();
            out.insert(out.end(), {'P', 'L', 'T', 'E'});
            for (int i = 0; i < 256; ++i)
                out.insert(out.end(), 3, static_cast<unsigned char>(i));
            putBigEndian32(out, crc32(&out[typeAt], 4 + 768));
        } else {
            out.insert(out.end(), bytes.begin() + std::ptrdiff_t(pos),
                       bytes.begin() + std::ptrdiff_t(end));
        }
        if (std::memcmp(&bytes[pos + 4], "IEND", 4) == 0)
            break;
        pos = end;
    }
    return out;
}

} // namespace Morvek
