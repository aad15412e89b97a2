#include <morvekLightingNodePool/SummedAreaTableBuilder.h>

#include <morvekLightingNodePool/PixelDecoder.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Morvek {

namespace {

// One pixel's (red, green, blue, energy) as four float lanes. All lanes take the same
// operations in the same order, so the vector form is exact lane by lane.
#if defined(__SSE2__)
struct Quad {
    __m128 v;
};
inline Quad zeroQuad()
{
    return {_mm_setzero_ps()};
}
inline Quad add(Quad a, Quad b)
{
    return {_mm_add_ps(a.v, b.v)};
}
inline Quad sub(Quad a, Quad b)
{
    return {_mm_sub_ps(a.v, b.v)};
}
inline Quad load(const float *p)
{
    return {_mm_loadu_ps(p)};
}
inline void store(float *p, Quad q)
{
    _mm_storeu_ps(p, q.v);
}
// Colour with a 16-byte store whose fourth lane lands on the next pixel's red, which the
// same row writes one step later.
inline void storeEntry(float *energy, float *color, Quad q)
{
    _mm_storeu_ps(color, q.v);
    _mm_store_ss(energy, _mm_shuffle_ps(q.v, q.v, _MM_SHUFFLE(3, 3, 3, 3)));
}
// The last column of a row: the next pixel's red belongs to a row already written.
inline void storeLastEntry(float *energy, float *color, Quad q)
{
    _mm_storel_pi(reinterpret_cast<__m64 *>(color), q.v);
    _mm_store_ss(color + 2, _mm_movehl_ps(q.v, q.v));
    _mm_store_ss(energy, _mm_shuffle_ps(q.v, q.v, _MM_SHUFFLE(3, 3, 3, 3)));
}
#else
struct Quad {
    float v[4];
};
inline Quad zeroQuad()
{
    return {{0.0f, 0.0f, 0.0f, 0.0f}};
}
inline Quad add(Quad a, Quad b)
{
    return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}};
}
inline Quad sub(Quad a, Quad b)
{
    return {{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2], a.v[3] - b.v[3]}};
}
inline Quad load(const float *p)
{
    return {{p[0], p[1], p[2], p[3]}};
}
inline void store(float *p, Quad q)
{
    p[0] = q.v[0], p[1] = q.v[1], p[2] = q.v[2], p[3] = q.v[3];
}
inline void storeLastEntry(float *energy, float *color, Quad q)
{
    color[0] = q.v[0], color[1] = q.v[1], color[2] = q.v[2];
    *energy = q.v[3];
}
inline void storeEntry(float *energy, float *color, Quad q)
{
    storeLastEntry(energy, color, q);
}
#endif

// Rows computed together. Row r of a block trails row r - 1 by one column, so at each step
// the block's rows are independent of each other and their add chains overlap.
constexpr int BlockRows = 6;
// Columns of decoded pixels buffered per row (BlockRows * Chunk * 16 bytes stay in L1).
constexpr int Chunk = 128;

// Where one block of R rows, starting at row y0, reads its pixels and writes its entries.
struct Block {
    const EnvironmentImage &image;
    int w;
    int y0;
    float *energy;
    float *color;
    float *carry;  // the row above the block: 4 floats per column
    float *pixels; // decoded pixels, R rows of Chunk quadruples
};

// The running entries of a block's rows, kept in registers for the whole block.
template <int R> struct Front {
    Quad cur[R];  // each row's entry of the previous step (its left neighbour)
    Quad prev[R]; // each row's entry of the step before that
    Quad upPrev;  // row 0's above-left
};

// Row r's buffer entry k holds column c0 - r + k, the column it needs at step c0 + k.
template <int R> void decodeChunk(const Block &b, int c0, int c1)
{
    for (int r = 0; r < R; ++r) {
        const int first = std::max(c0 - r, 0);
        const int last = std::min(c1 - r, b.w);
        if (first < last)
            PixelDecoder::decodeRun(
                b.image, b.y0 + r, first, last - first,
                b.pixels + 4 * (std::size_t(r) * Chunk + std::size_t(first - (c0 - r))));
    }
}

// Step x computes column x - r of each row r. Unchecked steps have every row's column inside
// the image and none on the last column.
template <int R, bool Checked>
inline __attribute__((always_inline)) void step(const Block &b, Front<R> &f, int x, int c0)
{
    // Rows from the last to the first, so that row r still sees row r - 1's entries of the
    // previous step (its column above and the one above-left).
#pragma GCC unroll 16
    for (int r = R - 1; r >= 0; --r) {
        const int col = x - r;
        if (Checked && (col < 0 || col >= b.w))
            continue;
        Quad up, diag;
        if (r == 0) {
            // The row above the block comes from the carry; above-left is the previous step's
            // above, +0 left of column 0.
            up = load(b.carry + 4 * std::size_t(col));
            diag = f.upPrev;
            f.upPrev = up;
        } else {
            up = f.cur[r - 1];
            diag = f.prev[r - 1];
        }
        const Quad pixel = load(b.pixels + 4 * (std::size_t(r) * Chunk + std::size_t(x - c0)));
        const Quad entry = add(sub(add(up, f.cur[r]), diag), pixel);
        f.prev[r] = f.cur[r];
        f.cur[r] = entry;

        const std::size_t index = std::size_t(b.y0 + r) * std::size_t(b.w) + std::size_t(col);
        if (Checked && col == b.w - 1)
            storeLastEntry(b.energy + index, b.color + 3 * index, entry);
        else
            storeEntry(b.energy + index, b.color + 3 * index, entry);
        if (r == R - 1)
            store(b.carry + 4 * std::size_t(col), entry);
    }
}

template <int R>
void runBlock(const EnvironmentImage &image, int y0, float *energySAT, float *colorSAT,
              float *carry, float *pixels)
{
    const Block b{image, image.width, y0, energySAT, colorSAT, carry, pixels};
    Front<R> f;
    for (int r = 0; r < R; ++r)
        f.cur[r] = f.prev[r] = zeroQuad();
    f.upPrev = zeroQuad();

    const int steps = b.w + R - 1;
    for (int c0 = 0; c0 < steps; c0 += Chunk) {
        const int c1 = std::min(c0 + Chunk, steps);
        decodeChunk<R>(b, c0, c1);
        const int fullBegin = std::clamp(R - 1, c0, c1);
        const int fullEnd = std::clamp(b.w - 1, fullBegin, c1);
        int x = c0;
        for (; x < fullBegin; ++x)
            step<R, true>(b, f, x, c0);
        for (; x < fullEnd; ++x)
            step<R, false>(b, f, x, c0);
        for (; x < c1; ++x)
            step<R, true>(b, f, x, c0);
    }
}

template <int... Rs>
void runRemainder(int rows, const EnvironmentImage &image, int y0, float *energySAT,
                  float *colorSAT, float *carry, float *pixels)
{
    ((rows == Rs ? runBlock<Rs>(image, y0, energySAT, colorSAT, carry, pixels) : void()), ...);
}

} // namespace

void SummedAreaTableBuilder::build(const EnvironmentImage &image, float *energySAT, float *colorSAT)
{
    static_assert(BlockRows == 6, "runRemainder below lists the block sizes below BlockRows");
    const int w = image.width;
    const int h = image.height;
    if (w <= 0 || h <= 0)
        return;

    // The carry starts as the row above the image: +0 everywhere.
    std::vector<float> carry(4 * std::size_t(w), 0.0f);
    std::vector<float> pixels(4 * std::size_t(BlockRows) * Chunk);

    int y0 = 0;
    for (; y0 + BlockRows <= h; y0 += BlockRows)
        runBlock<BlockRows>(image, y0, energySAT, colorSAT, carry.data(), pixels.data());
    runRemainder<1, 2, 3, 4, 5>(h - y0, image, y0, energySAT, colorSAT, carry.data(),
                                pixels.data());
}

} // namespace Morvek
