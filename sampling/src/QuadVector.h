#pragma once

// The four-lane float vector the table kernel computes with: SSE2 where the target has it, plain
// floats elsewhere. Private to the sampling library.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Morvek {
namespace SatKernel {

// One pixel's (red, green, blue, energy) as four float lanes. All lanes take
// the same operations in the same order, so the vector form is exact lane by
// lane.
#if defined(__SSE2__)
struct Quad {
    __m128 v;
};
inline Quad zeroQuad() { return {_mm_setzero_ps()}; }
inline Quad add(Quad a, Quad b) { return {_mm_add_ps(a.v, b.v)}; }
inline Quad sub(Quad a, Quad b) { return {_mm_sub_ps(a.v, b.v)}; }
inline Quad load(const float* p) { return {_mm_loadu_ps(p)}; }
inline void store(float* p, Quad q) { _mm_storeu_ps(p, q.v); }
// Colour with a 16-byte store whose fourth lane lands on the next pixel's red,
// which the same row writes one step later.
inline void storeEntry(float* energy, float* color, Quad q)
{
    _mm_storeu_ps(color, q.v);
    _mm_store_ss(energy, _mm_shuffle_ps(q.v, q.v, _MM_SHUFFLE(3, 3, 3, 3)));
}
// The last column of a row: the next pixel's red belongs to a row already
// written.
inline void storeLastEntry(float* energy, float* color, Quad q)
{
    _mm_storel_pi(reinterpret_cast<__m64*>(color), q.v);
    _mm_store_ss(color + 2, _mm_movehl_ps(q.v, q.v));
    _mm_store_ss(energy, _mm_shuffle_ps(q.v, q.v, _MM_SHUFFLE(3, 3, 3, 3)));
}
#else
struct Quad {
    float v[4];
};
inline Quad zeroQuad() { return {{0.0f, 0.0f, 0.0f, 0.0f}}; }
inline Quad add(Quad a, Quad b)
{
    return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}};
}
inline Quad sub(Quad a, Quad b)
{
    return {{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2], a.v[3] - b.v[3]}};
}
inline Quad load(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
inline void store(float* p, Quad q) { p[0] = q.v[0], p[1] = q.v[1], p[2] = q.v[2], p[3] = q.v[3]; }
inline void storeLastEntry(float* energy, float* color, Quad q)
{
    color[0] = q.v[0], color[1] = q.v[1], color[2] = q.v[2];
    *energy = q.v[3];
}
inline void storeEntry(float* energy, float* color, Quad q) { storeLastEntry(energy, color, q); }
#endif

} // namespace SatKernel
} // namespace Morvek
