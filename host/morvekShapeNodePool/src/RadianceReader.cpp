#include "RadianceReader.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Morvek {

namespace {

using Byte = unsigned char;

// Run-length coded scan lines exist only for widths in this range; other widths are flat.
constexpr long long rleMinWidth = 8;
constexpr long long rleMaxWidth = 32767;
// A run codes at most 127 equal bytes in two bytes (count + 128, value): no coding is denser.
constexpr long long longestRun = 127;
// Runs and dumps are copied in blocks of this many bytes, overshooting into bytes that are
// written later (or into the slack after the last plane) rather than copying byte by byte.
constexpr std::size_t copyBlock = 16;
// Text taken from the file is cut to this many characters in an error line.
constexpr std::size_t quotedTextLimit = 40;

// File text for an error line: printable ASCII as it is, any other byte as \xNN.
std::string quoted(const Byte* text, std::size_t size)
{
    std::string out = "'";
    for (std::size_t i = 0; i < size && i < quotedTextLimit; ++i) {
        if (text[i] >= 0x20 && text[i] < 0x7f && text[i] != '\\') {
            out.push_back(static_cast<char>(text[i]));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", text[i]);
            out += escaped;
        }
    }
    return out + (size > quotedTextLimit ? "...'" : "'");
}

bool startsWith(const Byte* text, std::size_t size, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    return size >= n && std::memcmp(text, prefix, n) == 0;
}

bool equals(const Byte* text, std::size_t size, const char* word)
{
    return size == std::strlen(word) && std::memcmp(text, word, size) == 0;
}

// The fewest bytes `height` scan lines of `width` pixels can take: flat pixels outside the
// run-length widths, inside them the run-length marker plus four components of longest runs.
unsigned long long minimumDataBytes(long long width, long long height)
{
    const unsigned long long w = static_cast<unsigned long long>(width);
    const unsigned long long perLine =
        width < rleMinWidth || width > rleMaxWidth ? 4 * w : 4 + 4 * 2 * ((w + 126) / longestRun);
    return perLine * static_cast<unsigned long long>(height);
}

// One axis of the size line: "-Y 512" and the like.
struct Axis {
    char sign = 0;
    char name = 0;
    long long size = 0;
};

// Reads "<sign><axis> <digits>" at `at`, moving `at` past it; false if it is not there.
bool readAxis(const Byte*& at, const Byte* end, Axis& axis)
{
    if (end - at < 4 || (at[0] != '-' && at[0] != '+') || (at[1] != 'X' && at[1] != 'Y') ||
        at[2] != ' ')
        return false;
    axis.sign = static_cast<char>(at[0]);
    axis.name = static_cast<char>(at[1]);
    at += 3;
    const Byte* digits = at;
    axis.size = 0;
    // Ten digits hold any size the loader could accept and cannot overflow.
    while (at < end && *at >= '0' && *at <= '9' && at - digits < 10)
        axis.size = axis.size * 10 + (*at++ - '0');
    return at > digits && (at == end || *at < '0' || *at > '9');
}

// The header up to and including the size line; `pos` ends on the first byte of pixel data.
class HeaderParser {
public:
    HeaderParser(const std::vector<Byte>& bytes, std::string& problem)
        : _begin(bytes.data()), _end(bytes.data() + bytes.size()), _problem(problem)
    {
    }

    bool parse(long long& width, long long& height, std::size_t& pos, bool& unsupported)
    {
        unsupported = false;
        const Byte* line = nullptr;
        std::size_t size = 0;
        if (!nextLine(line, size, "the first line has no end"))
            return false;
        if (!equals(line, size, "#?RADIANCE") && !equals(line, size, "#?RGBE")) {
            _problem = "the first line " + quoted(line, size) + " is not #?RADIANCE or #?RGBE";
            return false;
        }
        for (;;) {
            if (!nextLine(line, size, "no empty line ends the header"))
                return false;
            if (size == 0)
                break;
            if (startsWith(line, size, "FORMAT=") &&
                !equals(line, size, "FORMAT=32-bit_rle_rgbe")) {
                unsupported = true;
                _problem = "pixel format " + quoted(line + 7, size - 7) +
                           " (only 32-bit_rle_rgbe is read)";
                return false;
            }
        }
        if (!nextLine(line, size, "the size line has no end"))
            return false;
        Axis first;
        Axis second;
        const Byte* at = line;
        const Byte* end = line + size;
        if (!readAxis(at, end, first) || at == end || *at++ != ' ' || !readAxis(at, end, second) ||
            at != end || first.name == second.name) {
            _problem = "the size line " + quoted(line, size) + " is not -Y height +X width";
            return false;
        }
        if (first.sign != '-' || first.name != 'Y' || second.sign != '+') {
            unsupported = true;
            _problem = "orientation " + quoted(line, size) +
                       " (only -Y height +X width, top row first, is read)";
            return false;
        }
        height = first.size;
        width = second.size;
        pos = static_cast<std::size_t>(_at - _begin);
        return true;
    }

private:
    // The next line without its newline; a missing newline or a NUL byte is a fault.
    bool nextLine(const Byte*& line, std::size_t& size, const char* noEnd)
    {
        ++_lineNumber;
        const auto* newline =
            static_cast<const Byte*>(std::memchr(_at, '\n', static_cast<std::size_t>(_end - _at)));
        const Byte* stop = newline ? newline : _end;
        if (std::memchr(_at, '\0', static_cast<std::size_t>(stop - _at))) {
            _problem = "line " + std::to_string(_lineNumber) + " of the header holds a NUL byte";
            return false;
        }
        if (!newline) {
            _problem = noEnd;
            return false;
        }
        line = _at;
        size = static_cast<std::size_t>(newline - _at);
        _at = newline + 1;
        return true;
    }

    const Byte* _begin;
    const Byte* _end;
    const Byte* _at = _begin;
    int _lineNumber = 0;
    std::string& _problem;
};

// Decodes the scan lines into the target's rows. Every count is checked against the width
// left in the line and the bytes left in the file before it is used.
class ScanLineDecoder {
public:
    ScanLineDecoder(const Byte* data, const Byte* end, ImageTarget& target, std::string& problem)
        : _at(data), _end(end), _target(target), _width(target.width()), _height(target.height()),
          _problem(problem)
    {
        // The exact factor stb_image and Radiance use: 2^(e - 136) as a float, 0 for e = 0.
        _scale[0] = 0.0f;
        for (int e = 1; e < 256; ++e)
            _scale[e] = std::ldexp(1.0f, e - 136);
        if (_width >= rleMinWidth && _width <= rleMaxWidth)
            _planes.resize(4 * std::size_t(_width) + copyBlock);
    }

    bool decode()
    {
        for (int row = 0; row < _height; ++row) {
            float* out = reinterpret_cast<float*>(_target.pictureRow(row));
            const bool ok = isRunLengthLine() ? runLengthLine(row, out) : flatLine(row, out);
            if (!ok)
                return false;
        }
        return true;
    }

private:
    bool isRunLengthLine() const
    {
        return !_planes.empty() && _end - _at >= 4 && _at[0] == 2 && _at[1] == 2 &&
               (_at[2] & 0x80) == 0;
    }

    bool fail(int row, const char* what)
    {
        _problem = "scan line " + std::to_string(row + 1) + " " + what;
        return false;
    }

    bool endsEarly(int row)
    {
        _problem = "scan line " + std::to_string(row + 1) + " of " + std::to_string(_height) +
                   " ends early";
        return false;
    }

    bool flatLine(int row, float* out)
    {
        const std::size_t need = 4 * std::size_t(_width);
        if (std::size_t(_end - _at) < need)
            return endsEarly(row);
        const Byte* p = _at;
        for (int x = 0; x < _width; ++x, p += 4, out += 3) {
            if (p[0] == 1 && p[1] == 1 && p[2] == 1)
                return fail(row, "holds an old-style run-length pixel, which is not supported");
            const float s = _scale[p[3]];
            out[0] = float(p[0]) * s;
            out[1] = float(p[1]) * s;
            out[2] = float(p[2]) * s;
        }
        _at += need;
        return true;
    }

    bool runLengthLine(int row, float* out)
    {
        const int declared = (_at[2] << 8) | _at[3];
        if (declared != _width) {
            _problem = "scan line " + std::to_string(row + 1) + " declares width " +
                       std::to_string(declared) + " in an image " + std::to_string(_width) +
                       " wide";
            return false;
        }
        const Byte* p = _at + 4;
        const Byte* end = _end;
        Byte* plane = _planes.data();
        for (int component = 0; component < 4; ++component, plane += _width) {
            int x = 0;
            while (x < _width) {
                if (p == end)
                    return endsEarly(row);
                int count = *p++;
                if (count > 128) {
                    count -= 128;
                    if (count > _width - x)
                        return fail(row, "overruns its width");
                    if (p == end)
                        return endsEarly(row);
                    unsigned char block[copyBlock];
                    std::memset(block, *p++, copyBlock);
                    for (int i = 0; i < count; i += int(copyBlock))
                        std::memcpy(plane + x + i, block, copyBlock);
                } else {
                    if (count == 0)
                        return fail(row, "holds a zero run length");
                    if (count > _width - x)
                        return fail(row, "overruns its width");
                    if (end - p < count)
                        return endsEarly(row);
                    if (std::size_t(end - p) >= std::size_t(count) + copyBlock) {
                        for (int i = 0; i < count; i += int(copyBlock))
                            std::memcpy(plane + x + i, p + i, copyBlock);
                    } else { // near the end of the file: no reading past it
                        std::memcpy(plane + x, p, std::size_t(count));
                    }
                    p += count;
                }
                x += count;
            }
        }
        _at = p;

        const Byte* r = _planes.data();
        const Byte* g = r + _width;
        const Byte* b = g + _width;
        const Byte* e = b + _width;
        int x = 0;
#if defined(__SSE2__)
        x = convertBlocks(r, g, b, e, out);
        out += 3 * x;
#endif
        convertScalar(r + x, g + x, b + x, e + x, _width - x, out);
        return true;
    }

#if defined(__SSE2__)
    // Converts the planes 16 pixels at a time, as far as whole blocks go; returns the pixels
    // done. The factor 2^(e - 136) is built from its bits: (e - 9) << 23 for e >= 11, zero for
    // e = 0. A block with an exponent from 1 to 10 (a denormal factor) is left to the table.
    int convertBlocks(const Byte* r, const Byte* g, const Byte* b, const Byte* e, float* out) const
    {
        const __m128i zero = _mm_setzero_si128();
        const __m128i nine = _mm_set1_epi8(9);
        const __m128i one = _mm_set1_epi8(1);
        const __m128i bias = _mm_set1_epi32(9);
        int x = 0;
        for (; x + 16 <= _width; x += 16, out += 48) {
            const __m128i e8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e + x));
            // e - 1 <= 9 unsigned: exponents 1 to 10
            const __m128i small = _mm_sub_epi8(e8, one);
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(small, nine), small)) != 0) {
                convertScalar(r + x, g + x, b + x, e + x, 16, out);
                continue;
            }
            const __m128i r8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x));
            const __m128i g8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x));
            const __m128i b8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
            const __m128i eZero = _mm_cmpeq_epi8(e8, zero);
            const __m128i halves[2][4] = {
                {_mm_unpacklo_epi8(r8, zero), _mm_unpacklo_epi8(g8, zero),
                 _mm_unpacklo_epi8(b8, zero), _mm_unpacklo_epi8(_mm_andnot_si128(eZero, e8), zero)},
                {_mm_unpackhi_epi8(r8, zero), _mm_unpackhi_epi8(g8, zero),
                 _mm_unpackhi_epi8(b8, zero), _mm_unpackhi_epi8(_mm_andnot_si128(eZero, e8), zero)},
            };
            const __m128i zeroWords[2] = {_mm_unpacklo_epi8(eZero, eZero),
                                          _mm_unpackhi_epi8(eZero, eZero)};
            for (int half = 0; half < 2; ++half)
                for (int quarter = 0; quarter < 2; ++quarter) {
                    auto widen = [&](__m128i v) {
                        return quarter ? _mm_unpackhi_epi16(v, zero) : _mm_unpacklo_epi16(v, zero);
                    };
                    const __m128i e32 = widen(halves[half][3]);
                    const __m128i isZero =
                        quarter ? _mm_unpackhi_epi16(zeroWords[half], zeroWords[half])
                                : _mm_unpacklo_epi16(zeroWords[half], zeroWords[half]);
                    const __m128 scale = _mm_castsi128_ps(
                        _mm_andnot_si128(isZero, _mm_slli_epi32(_mm_sub_epi32(e32, bias), 23)));
                    const __m128 rf = _mm_mul_ps(_mm_cvtepi32_ps(widen(halves[half][0])), scale);
                    const __m128 gf = _mm_mul_ps(_mm_cvtepi32_ps(widen(halves[half][1])), scale);
                    const __m128 bf = _mm_mul_ps(_mm_cvtepi32_ps(widen(halves[half][2])), scale);
                    // r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3
                    const __m128 rgLow = _mm_unpacklo_ps(rf, gf);
                    const __m128 rgHigh = _mm_unpackhi_ps(rf, gf);
                    float* to = out + 12 * (2 * half + quarter);
                    _mm_storeu_ps(
                        to, _mm_shuffle_ps(rgLow, _mm_shuffle_ps(bf, rf, _MM_SHUFFLE(1, 1, 0, 0)),
                                           _MM_SHUFFLE(2, 0, 1, 0)));
                    _mm_storeu_ps(to + 4,
                                  _mm_shuffle_ps(_mm_shuffle_ps(gf, bf, _MM_SHUFFLE(1, 1, 1, 1)),
                                                 rgHigh, _MM_SHUFFLE(1, 0, 2, 0)));
                    _mm_storeu_ps(
                        to + 8, _mm_shuffle_ps(_mm_shuffle_ps(bf, rgHigh, _MM_SHUFFLE(2, 2, 2, 2)),
                                               _mm_shuffle_ps(rgHigh, bf, _MM_SHUFFLE(3, 3, 3, 3)),
                                               _MM_SHUFFLE(2, 0, 2, 0)));
                }
        }
        return x;
    }
#endif

    void convertScalar(const Byte* r, const Byte* g, const Byte* b, const Byte* e, int count,
                       float* out) const
    {
        for (int x = 0; x < count; ++x, out += 3) {
            const float s = _scale[e[x]];
            out[0] = float(r[x]) * s;
            out[1] = float(g[x]) * s;
            out[2] = float(b[x]) * s;
        }
    }

    const Byte* _at;
    const Byte* _end;
    ImageTarget& _target;
    int _width;
    int _height;
    std::string& _problem;
    float _scale[256];
    std::vector<Byte> _planes; // one run-length scan line as four planes: R, G, B, exponent
};

} // namespace

bool RadianceReader::read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                          std::string& error)
{
    const std::string& path = target.path();
    std::string problem;
    long long width = 0;
    long long height = 0;
    std::size_t pos = 0;
    bool unsupported = false;
    if (!HeaderParser(bytes, problem).parse(width, height, pos, unsupported)) {
        error = path + (unsupported ? ": unsupported Radiance HDR " + problem
                                    : ": corrupt Radiance HDR header (" + problem + ")");
        return false;
    }
    if (!target.checkSize(width, height, error))
        return false;
    const unsigned long long need = minimumDataBytes(width, height);
    const std::size_t have = bytes.size() - pos;
    if (have < need) {
        error = path + ": truncated Radiance HDR data (" + std::to_string(width) + " x " +
                std::to_string(height) + " pixels need at least " + std::to_string(need) +
                " bytes after the header, the file has " + std::to_string(have) + ")";
        return false;
    }
    if (!target.allocate(int(width), int(height), osg::Image::OSG_FLOAT32_IMAGEDATA, error))
        return false;
    if (!ScanLineDecoder(bytes.data() + pos, bytes.data() + bytes.size(), target, problem)
             .decode()) {
        error = path + ": truncated or corrupt Radiance HDR data (" + problem + ")";
        return false;
    }
    return true;
}

} // namespace Morvek
