#pragma once

// The wavefront kernel of the summed-area table build and its pixel fetchers. Everything here is
// inlined into buildTables, so that each instruction-set clone (KernelClones.cpp) compiles all of
// it for its own instructions. Private to the sampling library.

#include "QuadVector.h"

#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/PixelDecoder.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace Morvek {
namespace SatKernel {

// Rows computed together. Each row runs one column behind the row above it, so at each
// step the block's rows are independent of each other and their add chains overlap, and
// what a row needs of the row above (its entries of the previous two steps) is still in
// registers. Four rows measured best; eight were a third slower.
constexpr int blockRows = 4;
// Columns between a row and the row above. The hand-over in registers (Front) holds two
// steps of the row above, which is exactly enough for one.
constexpr int skew = 1;
static_assert(skew == 1, "Front hands over the previous two steps only");
// Steps per chunk: pixels decoded at once for the formats read through a buffer.
constexpr int chunkSteps = 128;

// Streaming stores write whole cache lines past the caches. A row's entries (12 bytes of
// colour, 4 of energy) first gather here, one ring of two groups of 16 columns per row, and a
// group goes out as 3 lines of colour and 1 of energy once no later entry can spill into it.
// The colour store of an entry reaches the next entry's red, so the ring has room for the
// spill of its last slot, padded to a whole line so that the energies start on one.
constexpr int groupColumns = 16;
struct alignas(64) Stage {
    float color[3 * 2 * groupColumns + 16];
    float energy[2 * groupColumns];
};

// Where a block of rows, starting at row y0, writes its entries.
struct Block {
    int w;
    int y0;
    float* energy;
    float* color;
    float* carry; // the row above the block: 4 floats per column
    Stage* stage; // one per row of the block, used by streaming stores only
};

// Element index of row r's entry at step 0 (column -r * skew); step x adds x.
inline std::ptrdiff_t rowBase(const Block& b, int r)
{
    return std::ptrdiff_t(b.y0 + r) * b.w - std::ptrdiff_t(r) * skew;
}

// Pixels of any readable format, decoded a chunk of steps at a time into a buffer.
// Row r's buffer entry k holds column c0 + k - r * skew, the column it needs at step c0 + k.
template <int R> class BufferedPixels {
public:
    BufferedPixels(const EnvironmentImage& image, const PixelDecoder::Layout& layout, int y0,
                   float* buffer)
        : _image(image), _layout(layout), _y0(y0), _buffer(buffer)
    {
    }
    void beginChunk(int c0, int c1)
    {
        for (int r = 0; r < R; ++r) {
            const int first = std::max(c0 - r * skew, 0);
            const int last = std::min(c1 - r * skew, _image.width);
            if (first < last)
                PixelDecoder::decodeRun(_image, _layout, _y0 + r, first, last - first,
                                        _buffer + 4 * (std::size_t(r) * chunkSteps +
                                                       std::size_t(first - (c0 - r * skew))));
        }
    }
    template <bool Checked, int N>
    inline __attribute__((always_inline)) void fetch(int, int k, Quad (&pixels)[N]) const
    {
        static_assert(N == R);
        for (int r = 0; r < R; ++r)
            pixels[r] = load(_buffer + 4 * (std::size_t(r) * chunkSteps + std::size_t(k)));
    }

private:
    const EnvironmentImage& _image;
    const PixelDecoder::Layout& _layout;
    int _y0;
    float* _buffer;
};

#if defined(__SSE2__)
// Float RGB, BGR or RGBA pixels read straight from the image, four rows at a time: the four
// energies are formed together after a transpose, each lane in the order
// (r * 0.2125 + g * 0.7154) + b * 0.0721.
template <int Stride, bool Bgr> class FloatPixels {
public:
    FloatPixels(const EnvironmentImage& image, const Block& b)
        : _data(reinterpret_cast<const float*>(image.data)), _w(image.width)
    {
        for (int r = 0; r < blockRows; ++r)
            _base[r] = Stride * rowBase(b, r);
    }
    void beginChunk(int, int) {}
    template <bool Checked, int N>
    inline __attribute__((always_inline)) void fetch(int x, int, Quad (&pixels)[N]) const
    {
        static_assert(N == blockRows && N % 4 == 0, "energies are formed four at a time");
        for (int g = 0; g < N; g += 4)
            fetchFour<Checked>(x, g, pixels + g);
    }

private:
    template <bool Checked>
    inline __attribute__((always_inline)) void fetchFour(int x, int g, Quad* pixels) const
    {
        __m128 p[4];
        for (int r = 0; r < 4; ++r) {
            const int col = x - (g + r) * skew;
            const float* at = _data + (_base[g + r] + std::ptrdiff_t(Stride) * x);
            if (!Checked || (Stride == 4 && col >= 0 && col < _w) || (col >= 0 && col < _w - 1)) {
                // A 16-byte read: for 3 components it reaches the next pixel's first, which
                // exists on every column but the last.
                p[r] = _mm_loadu_ps(at);
            } else if (col == _w - 1) {
                p[r] = _mm_movelh_ps(
                    _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(at)),
                    _mm_load_ss(at + 2));
            } else {
                p[r] = _mm_setzero_ps();
            }
            if (Bgr)
                p[r] = _mm_shuffle_ps(p[r], p[r], _MM_SHUFFLE(3, 0, 1, 2));
        }
        const __m128 weights = _mm_setr_ps(PixelDecoder::redWeight, PixelDecoder::greenWeight,
                                           PixelDecoder::blueWeight, 0.0f);
        __m128 red = _mm_mul_ps(p[0], weights);
        __m128 green = _mm_mul_ps(p[1], weights);
        __m128 blue = _mm_mul_ps(p[2], weights);
        __m128 unused = _mm_mul_ps(p[3], weights);
        _MM_TRANSPOSE4_PS(red, green, blue, unused);
        const __m128 energy = _mm_add_ps(_mm_add_ps(red, green), blue);
        // Each pixel's colour with its energy in the fourth lane. Written as a generic
        // shuffle, so that each instruction-set variant picks its own instructions for it:
        // one insert or two-source permute where the set has them, two shuffles in SSE2.
#if defined(__clang__) // clang names the generic shuffle differently (the fuzz build)
        pixels[0].v = __builtin_shufflevector(p[0], energy, 0, 1, 2, 4);
        pixels[1].v = __builtin_shufflevector(p[1], energy, 0, 1, 2, 5);
        pixels[2].v = __builtin_shufflevector(p[2], energy, 0, 1, 2, 6);
        pixels[3].v = __builtin_shufflevector(p[3], energy, 0, 1, 2, 7);
#else
        using Lanes = int __attribute__((vector_size(16)));
        pixels[0].v = __builtin_shuffle(p[0], energy, Lanes{0, 1, 2, 4});
        pixels[1].v = __builtin_shuffle(p[1], energy, Lanes{0, 1, 2, 5});
        pixels[2].v = __builtin_shuffle(p[2], energy, Lanes{0, 1, 2, 6});
        pixels[3].v = __builtin_shuffle(p[3], energy, Lanes{0, 1, 2, 7});
#endif
    }

    const float* _data;
    int _w;
    std::ptrdiff_t _base[blockRows]; // element index of each row's pixel at step 0
};
#endif

// What a block's rows carry from one step to the next, kept in registers.
template <int R> struct Front {
    Quad left[R];     // each row's entry of the previous step: the row below reads it as above
    Quad leftLeft[R]; // each row's entry of the step before: the row below's above-left
    Quad upLeft;      // row 0's above-left: the carry entry it read at the previous step
    std::ptrdiff_t base[R];
};

#if defined(__SSE2__)
// Sends line j of row r's group g (columns 16g to 16g + 15) from its ring to the tables:
// lines 0 to 2 hold the group's colour, line 3 its energy.
inline void flushLine(const Block& b, int r, int g, int j)
{
    const Stage& stage = b.stage[r];
    const std::size_t first =
        std::size_t(b.y0 + r) * std::size_t(b.w) + std::size_t(groupColumns) * g;
    const float* from = j < 3 ? stage.color + 3 * groupColumns * (g & 1) + 16 * j
                              : stage.energy + groupColumns * (g & 1);
    float* to = j < 3 ? b.color + 3 * first + 16 * j : b.energy + first;
    for (int i = 0; i < 16; i += 4)
        _mm_stream_ps(to + i, _mm_load_ps(from + i));
}
#endif

// Step x (the k-th of its chunk) computes column x - r of each row r. Unchecked steps have
// every row's column inside the image and none on the last column. Rows go bottom up so that
// each reads the row above's entries of the previous steps before that row replaces them.
template <int R, bool Checked, bool Streamed, int Phase = -1, class Pixels>
inline __attribute__((always_inline)) void step(const Block& b, const Pixels& source, Front<R>& f,
                                                int x, int k)
{
    Quad pixels[R];
    source.template fetch<Checked>(x, k, pixels);
#pragma GCC unroll 16
    for (int r = R - 1; r >= 0; --r) {
        const int col = x - r * skew;
        if (Checked && (col < 0 || col >= b.w)) {
            // Left of column 0 the row below reads +0; right of the last column it reads
            // nothing more.
            if (col < 0) {
                f.leftLeft[r] = f.left[r];
                f.left[r] = zeroQuad();
            }
            continue;
        }
        Quad up, upLeft;
        if (r == 0) {
            up = load(b.carry + 4 * std::size_t(col));
            upLeft = f.upLeft;
            f.upLeft = up;
        } else {
            up = f.left[r - 1];
            upLeft = f.leftLeft[r - 1];
        }
        const Quad entry = add(sub(add(up, f.left[r]), upLeft), pixels[r]);
        f.leftLeft[r] = f.left[r];
        f.left[r] = entry;

        if constexpr (Streamed) {
#if defined(__SSE2__)
            // Group g goes out while the row fills group g + 1, once the spill of its last
            // entry has landed there: one line every four columns, and each row at other
            // steps (a row's column is x - r), so that one line leaves per step. Lines sent
            // one at a time keep few write-combining buffers busy; sending whole groups at
            // once measured 7 to 15% slower. The row's last group goes at its last column.
            const int slot = col & (2 * groupColumns - 1);
            Stage& stage = b.stage[r];
            if (Checked && col == b.w - 1) {
                storeLastEntry(stage.energy + slot, stage.color + 3 * slot, entry);
                for (int j = 0; j < 4; ++j)
                    flushLine(b, r, col / groupColumns, j);
            } else {
                storeEntry(stage.energy + slot, stage.color + 3 * slot, entry);
            }
            if (Phase < 0 ? col % 4 == 1 && col >= groupColumns : (Phase - r + 4) % 4 == 1)
                flushLine(b, r, col / groupColumns - 1, col % groupColumns / 4);
#endif
        } else {
            const std::ptrdiff_t index = f.base[r] + x;
            if (Checked && col == b.w - 1)
                storeLastEntry(b.energy + index, b.color + 3 * index, entry);
            else
                storeEntry(b.energy + index, b.color + 3 * index, entry);
        }
        if (r == R - 1)
            store(b.carry + 4 * std::size_t(col), entry);
    }
}

template <int R, bool Streamed = false, class Pixels>
inline __attribute__((always_inline)) void runBlock(const Block& b, Pixels source)
{
    Front<R> f;
    for (int r = 0; r < R; ++r) {
        f.left[r] = zeroQuad();
        f.leftLeft[r] = zeroQuad();
        f.base[r] = rowBase(b, r);
    }
    f.upLeft = zeroQuad();

    const int steps = b.w + (R - 1) * skew;
    for (int c0 = 0; c0 < steps; c0 += chunkSteps) {
        const int c1 = std::min(c0 + chunkSteps, steps);
        source.beginChunk(c0, c1);
        const int fullBegin = std::clamp((R - 1) * skew, c0, c1);
        const int fullEnd = std::clamp(b.w - 1, fullBegin, c1);
        int x = c0;
        for (; x < fullBegin; ++x)
            step<R, true, Streamed>(b, source, f, x, x - c0);
        if constexpr (Streamed) {
            // Four steps at a time from a step divisible by four, once every row is past its
            // first group: which row sends a line at which step is then known when compiling.
            for (; x < fullEnd && (x % 4 != 0 || x < groupColumns + R); ++x)
                step<R, false, Streamed>(b, source, f, x, x - c0);
            for (; x + 4 <= fullEnd; x += 4) {
                step<R, false, Streamed, 0>(b, source, f, x, x - c0);
                step<R, false, Streamed, 1>(b, source, f, x + 1, x + 1 - c0);
                step<R, false, Streamed, 2>(b, source, f, x + 2, x + 2 - c0);
                step<R, false, Streamed, 3>(b, source, f, x + 3, x + 3 - c0);
            }
        }
        for (; x < fullEnd; ++x)
            step<R, false, Streamed>(b, source, f, x, x - c0);
        for (; x < c1; ++x)
            step<R, true, Streamed>(b, source, f, x, x - c0);
    }
}

template <int R>
inline __attribute__((always_inline)) void runBuffered(const EnvironmentImage& image,
                                                       const PixelDecoder::Layout& layout,
                                                       const Block& b, float* buffer)
{
    runBlock<R>(b, BufferedPixels<R>(image, layout, b.y0, buffer));
}

template <int... Rs>
inline __attribute__((always_inline)) void
runBufferedRemainder(int rows, const EnvironmentImage& image, const PixelDecoder::Layout& layout,
                     const Block& b, float* buffer)
{
    ((rows == Rs ? runBuffered<Rs>(image, layout, b, buffer) : void()), ...);
}

// Full blocks of float RGB, BGR or RGBA read the image directly; true when it handled them.
template <bool Streamed>
inline __attribute__((always_inline)) bool runFloatBlock(const EnvironmentImage& image,
                                                         const Block& b)
{
#if defined(__SSE2__)
    if (image.dataType != PixelDecoder::floatType)
        return false;
    switch (image.pixelFormat) {
    case PixelDecoder::rgbFormat:
        runBlock<blockRows, Streamed>(b, FloatPixels<3, false>(image, b));
        return true;
    case PixelDecoder::bgrFormat:
        runBlock<blockRows, Streamed>(b, FloatPixels<3, true>(image, b));
        return true;
    case PixelDecoder::rgbaFormat:
        runBlock<blockRows, Streamed>(b, FloatPixels<4, false>(image, b));
        return true;
    default:
        return false;
    }
#else
    (void)image;
    (void)b;
    return false;
#endif
}

// The whole build; everything below it is inlined, so each instruction-set variant below
// compiles all of it for its own instructions. `streamed` only where canStream allows it.
inline __attribute__((always_inline)) void buildTables(const EnvironmentImage& image,
                                                       const PixelDecoder::Layout& layout,
                                                       float* energySAT, float* colorSAT,
                                                       bool streamed)
{
    const int w = image.width;
    const int h = image.height;
    if (w <= 0 || h <= 0)
        return;

    // The carry starts as the row above the image: +0 everywhere.
    std::vector<float> carry(4 * std::size_t(w), 0.0f);
    std::vector<float> buffer(4 * std::size_t(blockRows) * chunkSteps);
    Stage stage[blockRows];

    int y0 = 0;
    for (; y0 + blockRows <= h; y0 += blockRows) {
        const Block b{w, y0, energySAT, colorSAT, carry.data(), stage};
        if (!(streamed ? runFloatBlock<true>(image, b) : runFloatBlock<false>(image, b)))
            runBuffered<blockRows>(image, layout, b, buffer.data());
    }
    static_assert(blockRows == 4, "the remainder below lists the block sizes below blockRows");
    runBufferedRemainder<1, 2, 3>(h - y0, image, layout,
                                  Block{w, y0, energySAT, colorSAT, carry.data(), stage},
                                  buffer.data());
#if defined(__SSE2__)
    // Streaming stores are weakly ordered: make them visible before the tables are handed on.
    if (streamed)
        _mm_sfence();
#endif
}

} // namespace SatKernel
} // namespace Morvek
