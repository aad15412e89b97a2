#pragma once

// A lat-long picture gathered into cells of factor x factor pixels (fewer at the right and
// bottom edges), and summed-area tables over the cells. Each cell keeps, summed exactly over
// its pixels in picture order: the power per channel (radiance times each pixel's solid angle)
// and the first moments of its luminance power (luminance times solid angle times the unit
// direction toward the pixel). Sums over cells are double precision, so the same environment
// at 1K, 4K and 8K cuts alike. Cell (x, y) counts from the top left; table entry (x, y) holds
// cells 0..x of rows 0..y.

#include <morvekSampling/PhysicalLight.h>
#include <morvekSampling/RadianceImage.h>

#include "LatLongGeometry.h"

#include <array>
#include <cstddef>
#include <vector>

namespace Morvek {

class SolidAngleTable {
public:
    // Luminance power, then its moments along x, y and z.
    using Sums = std::array<double, 4>;
    // Power of red, green and blue, then the luminance power's moments along x, y and z.
    using Cell = std::array<double, 6>;

    // False when a component is not finite; the table is then unusable. Up to `threads`
    // threads (the calling one among them) gather the picture; the result is the same bits
    // whatever their number.
    bool build(const RadianceImage& image, const LatLongGeometry& geometry, int factor,
               int threads = 1);

    int width() const { return int(_width); }   // cells
    int height() const { return int(_height); } // cells
    const Cell& cell(int x, int y) const
    {
        return _cells[std::size_t(y) * _width + std::size_t(x)];
    }

    // Luminance power and moments of cells x0..x1 and rows y0..y1, inclusive.
    Sums sums(int x0, int y0, int x1, int y1) const;
    // The same over a rectangle of cells.
    Sums sums(const PixelRect& cells) const
    {
        return sums(cells.x, cells.y, cells.x + cells.width - 1, cells.y + cells.height - 1);
    }

private:
    bool gatherRows(const RadianceImage& image, const LatLongGeometry& geometry,
                    std::size_t firstRow, std::size_t endRow);
    const Sums& at(int x, int y) const
    {
        return x < 0 || y < 0 ? _zero : _table[std::size_t(y) * _width + std::size_t(x)];
    }

    std::vector<Cell> _cells;
    std::vector<Sums> _table;
    std::size_t _width = 0;
    std::size_t _height = 0;
    std::size_t _factor = 1;
    Sums _zero{};
};

} // namespace Morvek
