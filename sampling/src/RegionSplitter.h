#pragma once

// Cuts the cells of a lat-long picture into a given number of rectangles, one split at a time,
// always splitting next the region whose split removes the most spread. A region's spread is
// its luminance power minus the length of its first moment: what a light toward its mean
// direction with its power overstates, 0 for a point and growing with the region's extent on
// the sphere. Each region is cut where the spread of its two parts is least, across its
// columns or its rows, so that a bright spot ends up in a part of its own.

#include <morvekSampling/PhysicalLight.h>

#include "SolidAngleTable.h"

#include <vector>

namespace Morvek {

class RegionSplitter {
public:
    explicit RegionSplitter(const SolidAngleTable& table) : _table(table) {}

    // Exactly `count` rectangles of cells covering the table (count in 1..its cell count).
    std::vector<PixelRect> split(int count) const;
    // The same with `key` kept whole as one of them: the rest of the table, in up to four
    // rectangles around it, is cut into the others. Empty when count is too small for that.
    std::vector<PixelRect> splitAround(int count, const PixelRect& key) const;

    // What the lights of a cut overstate in all, the sum of its regions' spreads.
    double spread(const std::vector<PixelRect>& cut) const;

private:
    struct Region {
        PixelRect rect;
        double power = 0.0;
        double cost = 0.0; // the error estimate of one light standing for the region
    };
    struct Split {
        Region first, second;
        bool possible = false; // false for a single pixel
        double gain = 0.0;     // cost removed by the split
    };

    Region makeRegion(const PixelRect& rect, double power) const;
    Region makeRegion(const PixelRect& rect) const;
    Split bestSplit(const Region& region) const;
    // Splits the regions given until there are `count` (leaves: regions already final).
    std::vector<PixelRect> splitFrom(int count, const std::vector<Region>& start,
                                     std::vector<PixelRect> leaves) const;

    const SolidAngleTable& _table;
};

} // namespace Morvek
