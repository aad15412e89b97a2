#pragma once

// Cuts an environment so that its most powerful light points at its brightest spot (a sun),
// where that costs little. A plain cut gives the spot's light the mean direction of a region
// around it, and when the sky about the spot is uneven (a sunset's glow lies to one side) that
// mean is degrees off the spot, so every shadow a renderer draws with the light is off too.
// Here the spot's region is a box balanced about the spot instead: grown a cell at a time,
// across columns and rows in turn, each time on the side that pulls its mean back toward the
// spot. The smallest such box whose mean lies within `aimTolerance` of the spot and whose
// power then leads every other region is kept whole, and the rest of the picture is cut
// around it. The plain cut stays when its own most powerful light is already on the spot, when
// no balanced box can lead, or when the balanced cut overstates more than `spreadAllowance`
// times what the plain one does (so the error on diffuse surfaces stays about as low).

#include <morvekSampling/PhysicalLight.h>
#include <morvekSampling/RadianceImage.h>

#include "LatLongGeometry.h"
#include "RegionSplitter.h"
#include "SolidAngleTable.h"

#include <array>
#include <vector>

namespace Morvek {

class KeyRegionCut {
public:
    // Degrees between the key region's mean direction and the brightest spot.
    static constexpr double aimTolerance = 0.2;
    // The balanced cut's spread, at most, over the plain cut's.
    static constexpr double spreadAllowance = 1.10;
    // The balanced box is given up once it holds more than this share of all power.
    static constexpr double largestShare = 0.5;
    // Fewest regions that leave room for a box and the four pieces around it.
    static constexpr int fewestRegions = 5;

    // `table` gathers `image` in cells of factor x factor pixels; all three outlive this.
    KeyRegionCut(const SolidAngleTable& table, const RadianceImage& image,
                 const LatLongGeometry& geometry, int factor);

    // Exactly `count` rectangles of cells covering the table (count in 1..its cell count).
    std::vector<PixelRect> cut(int count) const;

    // Unit vector toward the brightest spot: the brightest pixel of the cell of highest mean
    // radiance and its eight neighbours (the centre of the brightest pixels, if they tie).
    const std::array<double, 3>& spot() const { return _spot; }

private:
    using Vec3 = std::array<double, 3>;

    void findSpot(const RadianceImage& image, const LatLongGeometry& geometry, int factor);
    // Balanced boxes about the spot's cell within the tolerance, smallest first.
    std::vector<PixelRect> balancedBoxes() const;
    double cosineToSpot(const SolidAngleTable::Sums& sums) const;
    // The index of the most powerful region of a cut (the first of equals), and whether it
    // leads every other region strictly.
    std::size_t strongest(const std::vector<PixelRect>& cut, bool* leads) const;

    const SolidAngleTable& _table;
    RegionSplitter _splitter;
    Vec3 _spot{};
    Vec3 _east{};  // along the spot's row, toward later columns
    Vec3 _south{}; // along the spot's column, toward later rows
    int _spotCellX = 0;
    int _spotCellY = 0;
    bool _lit = false; // false for a black environment: nothing to aim at
};

} // namespace Morvek
