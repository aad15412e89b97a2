#pragma once

#include <morvekSampling/ImageRegion.h>

#include <OpenSG/OSGVector.h>

#include <cstdint>
#include <vector>

namespace Morvek {

// Median cut of a lat-long environment image, read only through its inclusive energy
// summed-area table (row-major, entry (x, y) at y * width + x). Every rectangle's energy is
// ((T(x1, y1) - T(x1, y0-1)) - T(x0-1, y1)) + T(x0-1, y0-1) in single precision, in this
// order, with T = 0 left of column 0 and above row 0. Nothing here allocates but the leaves.
class MedianCut {
public:
    // The table must outlive this object and hold width * height entries.
    MedianCut(const float* energySAT, std::uint16_t width, std::uint16_t height);

    // The table entry of (x, y); 0 when x < 0 or y < 0. Upper bounds are not checked.
    float sampleEnergy(int x, int y) const
    {
        return x < 0 || y < 0 ? 0.0f : _table[std::size_t(y) * _width + std::size_t(x)];
    }
    // Energy of columns x0..x1 and rows y0..y1, inclusive.
    float rectangleEnergy(int x0, int y0, int x1, int y1) const
    {
        return ((sampleEnergy(x1, y1) - sampleEnergy(x1, y0 - 1)) - sampleEnergy(x0 - 1, y1)) +
               sampleEnergy(x0 - 1, y0 - 1);
    }

    // Appends the leaves of the cut of `region` to `leaves`, depth first, the part with the
    // lower columns (or rows) of every cut first. A region wider than high, or square, is cut
    // across its columns, a higher one across its rows, where the first part's energy comes
    // nearest to half the region's (a tie keeps the larger first part). A region is left
    // whole when `depth` is 0, when its side along the cut is 1, or when only its last column
    // (row) would reach half its energy. The first part never ends empty: at the first
    // column (row) the cut stays after it.
    void splitRegion(const ImageRegion& region, unsigned short depth,
                     std::vector<ImageRegion>& leaves) const;

    // Asks the memory system for the first entries that the searches of `region` (a cut or
    // its centroid, either axis) read, so that a search started later does not wait for them.
    // Only a hint: nothing is read, nothing changes.
    void prefetchSearches(const ImageRegion& region) const;

    // Per-axis energy median of the region: the first column (row) from offset 1 on whose
    // prefix holds at least half the region's energy; the region's first column (row) when
    // none does.
    osg::Vec2us computeEnergyCentroid(const ImageRegion& region) const;

    // Direction of image point (u, v) of a lat-long image of width x height pixels:
    // phi = ((1 - u/W) * 2) * pi - pi/2, theta = (v/H) * pi, the result
    // (sin phi * sin theta, cos theta, cos phi * sin theta), all in single precision. Row 0
    // maps to +y; along the middle row u = 0, W/4, W/2, 3W/4 map to -x, -z, +x, +z.
    static osg::Vec3f directionFromImageCoord(unsigned short u, unsigned short v,
                                              std::uint16_t width, std::uint16_t height);

    // Energy per pixel, the pixel count a 32-bit signed product converted to float.
    static float density(const ImageRegion& region);
    // Sorts by ascending density, the densest last; equal densities in any order. A NaN
    // density counts as lower than any other so that it never ranks first.
    static void rankByDensity(std::vector<ImageRegion>& regions);

private:
    // The first k in [kFirst, kLast] whose columns x0..x0+k (rows y0..y1) hold at least
    // `threshold`, each energy computed as rectangleEnergy does; kLast + 1 when none does.
    // Several columns are compared at once: their entries lie side by side in the table.
    int firstColumnReaching(int x0, int y0, int y1, int kFirst, int kLast, float threshold) const;
    // The same across rows: the first k whose rows y0..y0+k (columns x0..x1) hold at least
    // `threshold`. The entries lie a row apart; four rows are compared at once all the same.
    int firstRowReaching(int x0, int y0, int x1, int kFirst, int kLast, float threshold) const;

    const float* _table;
    std::size_t _width;
    std::size_t _height;
};

} // namespace Morvek
