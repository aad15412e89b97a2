#include <morvekSampling/MedianCut.h>

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Morvek {

namespace {

// Single-precision constants of the lat-long mapping.
constexpr float pi = 3.1415927f;
constexpr float halfPi = 1.5707964f;

// How much of a search prefetchSearches asks for: rows of the search across rows, columns
// of the search across columns. Each search reads on from there at its own pace; what
// costs is waiting for its first entries.
constexpr int prefetchRows = 8;
constexpr int prefetchColumns = 64;
constexpr int floatsPerLine = 16;

} // namespace

MedianCut::MedianCut(const float* energySAT, std::uint16_t width, std::uint16_t height)
    : _table(energySAT), _width(width), _height(height)
{
}

void MedianCut::splitRegion(const ImageRegion& region, unsigned short depth,
                            std::vector<ImageRegion>& leaves) const
{
    if (depth == 0) {
        leaves.push_back(region);
        return;
    }

    const int x0 = region.origin.x();
    const int y0 = region.origin.y();
    const int w = region.width;
    const int h = region.height;
    const float energy = region.energy;

    // The axis by pixel counts alone: squares are cut across their columns.
    const bool acrossRows = w < h;
    const int side = acrossRows ? h : w;
    if (side < 2) {
        leaves.push_back(region);
        return;
    }

    // The first k + 1 columns (rows) whose energy reaches half the region's.
    const float threshold = energy * 0.5f;
    float prev = 0.0f;
    float part = 0.0f;
    int k = 0;
    if (acrossRows) {
        k = firstRowReaching(x0, y0, x0 + w - 1, 0, side - 2, threshold);
        if (k <= side - 2) {
            part = rectangleEnergy(x0, y0, x0 + w - 1, y0 + k);
            if (k > 0)
                prev = rectangleEnergy(x0, y0, x0 + w - 1, y0 + k - 1);
        }
    } else {
        k = firstColumnReaching(x0, y0, y0 + h - 1, 0, side - 2, threshold);
        if (k <= side - 2) {
            part = rectangleEnergy(x0, y0, x0 + k, y0 + h - 1);
            if (k > 0)
                prev = rectangleEnergy(x0, y0, x0 + k - 1, y0 + h - 1);
        }
    }
    if (k > side - 2) {
        // Only the last column (row) would reach half: the region stays whole.
        leaves.push_back(region);
        return;
    }

    // The nearer of the cuts after k and after k - 1; a tie keeps k, and so does k = 0,
    // which would leave the first part empty.
    if (k > 0 && std::fabs(energy - part * 2.0f) > std::fabs(energy - prev * 2.0f)) {
        --k;
        part = prev;
    }

    ImageRegion first = region;
    ImageRegion second = region;
    first.energy = part;
    second.energy = energy - part;
    if (acrossRows) {
        first.height = std::uint16_t(k + 1);
        second.origin.setValues(std::uint16_t(x0), std::uint16_t(y0 + k + 1));
        second.height = std::uint16_t(h - k - 1);
    } else {
        first.width = std::uint16_t(k + 1);
        second.origin.setValues(std::uint16_t(x0 + k + 1), std::uint16_t(y0));
        second.width = std::uint16_t(w - k - 1);
    }
    // Both parts' first entries are asked for at once: the first part's search needs them
    // now, the second's only once the whole first part is cut. Leaves are searched later,
    // for their centroids, and asked for then.
    if (depth > 1) {
        prefetchSearches(first);
        prefetchSearches(second);
    }
    splitRegion(first, depth - 1, leaves);
    splitRegion(second, depth - 1, leaves);
}

void MedianCut::prefetchSearches(const ImageRegion& region) const
{
    if (!_table || region.width == 0 || region.height == 0)
        return;
    const int x0 = region.origin.x();
    const int y0 = region.origin.y();
    const int x1 = x0 + region.width - 1;
    const int y1 = y0 + region.height - 1;
    auto ask = [this](int x, int y) {
        __builtin_prefetch(_table + std::size_t(y) * _width + std::size_t(x));
    };
    // Across columns: the last row and the row above, from the column left of the region.
    const int xFrom = std::max(x0 - 1, 0);
    const int xTo = std::min(x1, xFrom + prefetchColumns - 1);
    for (int x = xFrom; x <= xTo; x += floatsPerLine) {
        ask(x, y1);
        if (y0 > 0)
            ask(x, y0 - 1);
    }
    // Across rows: the last column and the column left of the region, from the row above.
    const int yFrom = std::max(y0 - 1, 0);
    const int yTo = std::min(y1, yFrom + prefetchRows - 1);
    for (int y = yFrom; y <= yTo; ++y) {
        ask(x1, y);
        if (x0 > 0)
            ask(x0 - 1, y);
    }
}

osg::Vec2us MedianCut::computeEnergyCentroid(const ImageRegion& region) const
{
    const int x0 = region.origin.x();
    const int y0 = region.origin.y();
    const int w = region.width;
    const int h = region.height;
    const float threshold = region.energy * 0.5f;

    osg::Vec2us centroid(region.origin.x(), region.origin.y());
    const int i = firstColumnReaching(x0, y0, y0 + h - 1, 1, w - 1, threshold);
    if (i < w)
        centroid[0] = std::uint16_t(x0 + i);
    const int j = firstRowReaching(x0, y0, x0 + w - 1, 1, h - 1, threshold);
    if (j < h)
        centroid[1] = std::uint16_t(y0 + j);
    return centroid;
}

int MedianCut::firstColumnReaching(int x0, int y0, int y1, int kFirst, int kLast,
                                   float threshold) const
{
    const float c = sampleEnergy(x0 - 1, y1);
    const float d = sampleEnergy(x0 - 1, y0 - 1);
    int k = kFirst;
#if defined(__SSE2__)
    // Four columns a step, with the scalar expression's operations in its order, so that each
    // lane holds exactly what rectangleEnergy gives. A NaN compares false in both.
    const float* bottom = _table + std::size_t(y1) * _width + x0;
    const float* above = y0 > 0 ? _table + std::size_t(y0 - 1) * _width + x0 : nullptr;
    const __m128 cv = _mm_set1_ps(c);
    const __m128 dv = _mm_set1_ps(d);
    const __m128 tv = _mm_set1_ps(threshold);
    for (; k + 3 <= kLast; k += 4) {
        const __m128 a = _mm_loadu_ps(bottom + k);
        const __m128 b = above ? _mm_loadu_ps(above + k) : _mm_setzero_ps();
        const __m128 part = _mm_add_ps(_mm_sub_ps(_mm_sub_ps(a, b), cv), dv);
        const int reached = _mm_movemask_ps(_mm_cmpge_ps(part, tv));
        if (reached != 0)
            return k + __builtin_ctz(unsigned(reached));
    }
#endif
    for (; k <= kLast; ++k)
        if (rectangleEnergy(x0, y0, x0 + k, y1) >= threshold)
            return k;
    return kLast + 1;
}

int MedianCut::firstRowReaching(int x0, int y0, int x1, int kFirst, int kLast,
                                float threshold) const
{
    // rectangleEnergy(x0, y0, x1, y0 + k) is ((T(x1, y0+k) - b) - c_k) + d with the entries
    // b, d of the row above the region fixed, and c_k 0 when the region starts at column 0.
    const float b = sampleEnergy(x1, y0 - 1);
    const float d = sampleEnergy(x0 - 1, y0 - 1);
    const std::size_t stride = _width;
    const float* right = _table + std::size_t(y0) * stride + x1;
    const float* left = x0 > 0 ? _table + std::size_t(y0) * stride + (x0 - 1) : nullptr;
    int k = kFirst;
#if defined(__SSE2__)
    const __m128 bv = _mm_set1_ps(b);
    const __m128 dv = _mm_set1_ps(d);
    const __m128 tv = _mm_set1_ps(threshold);
    for (; k + 3 <= kLast; k += 4) {
        const float* r = right + std::size_t(k) * stride;
        const __m128 a = _mm_setr_ps(r[0], r[stride], r[2 * stride], r[3 * stride]);
        __m128 c = _mm_setzero_ps();
        if (left) {
            const float* l = left + std::size_t(k) * stride;
            c = _mm_setr_ps(l[0], l[stride], l[2 * stride], l[3 * stride]);
        }
        const __m128 part = _mm_add_ps(_mm_sub_ps(_mm_sub_ps(a, bv), c), dv);
        const int reached = _mm_movemask_ps(_mm_cmpge_ps(part, tv));
        if (reached != 0)
            return k + __builtin_ctz(unsigned(reached));
    }
#endif
    for (; k <= kLast; ++k)
        if (rectangleEnergy(x0, y0, x1, y0 + k) >= threshold)
            return k;
    return kLast + 1;
}

osg::Vec3f MedianCut::directionFromImageCoord(unsigned short u, unsigned short v,
                                              std::uint16_t width, std::uint16_t height)
{
    const float phi = ((1.0f - float(u) / float(width)) * 2.0f) * pi - halfPi;
    const float theta = (float(v) / float(height)) * pi;
    const float sinTheta = std::sin(theta);
    return osg::Vec3f(std::sin(phi) * sinTheta, std::cos(theta), std::cos(phi) * sinTheta);
}

float MedianCut::density(const ImageRegion& region)
{
    // The product of a 32-bit signed multiplication, wrapped as two's complement.
    const std::int32_t pixels =
        std::int32_t(std::uint32_t(region.width) * std::uint32_t(region.height));
    return region.energy / float(pixels);
}

void MedianCut::rankByDensity(std::vector<ImageRegion>& regions)
{
    std::sort(regions.begin(), regions.end(), [](const ImageRegion& a, const ImageRegion& b) {
        const float da = density(a);
        const float db = density(b);
        if (std::isnan(da))
            return !std::isnan(db);
        return da < db;
    });
}

} // namespace Morvek
