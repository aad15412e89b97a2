#include "KeyRegionCut.h"

#include <algorithm>
#include <cmath>

namespace Morvek {

namespace {

// The cosine of KeyRegionCut::aimTolerance.
double aimCosine()
{
    static const double cosine = std::cos(KeyRegionCut::aimTolerance * LatLongGeometry::pi / 180.0);
    return cosine;
}

} // namespace

KeyRegionCut::KeyRegionCut(const SolidAngleTable& table, const RadianceImage& image,
                           const LatLongGeometry& geometry, int factor)
    : _table(table), _splitter(table)
{
    findSpot(image, geometry, factor);
}

void KeyRegionCut::findSpot(const RadianceImage& image, const LatLongGeometry& geometry, int factor)
{
    // The cell of highest mean radiance: luminance power over solid angle.
    const int w = _table.width();
    const int h = _table.height();
    double best = 0.0;
    for (int cy = 0; cy < h; ++cy) {
        const int y1 = std::min(image.height, (cy + 1) * factor);
        double rowAngle = 0.0; // solid angle of one pixel column of the cell row
        for (int y = cy * factor; y < y1; ++y)
            rowAngle += geometry.solidAngle[std::size_t(y)];
        for (int cx = 0; cx < w; ++cx) {
            const SolidAngleTable::Cell& c = _table.cell(cx, cy);
            const int columns = std::min(image.width, (cx + 1) * factor) - cx * factor;
            const double radiance =
                ((0.2125 * c[0] + 0.7154 * c[1]) + 0.0721 * c[2]) / (rowAngle * columns);
            if (radiance > best) {
                best = radiance;
                _spotCellX = cx;
                _spotCellY = cy;
            }
        }
    }
    _lit = best > 0.0;
    if (!_lit)
        return;

    // Its brightest pixel, or its neighbours' (a sun may straddle cells): the centre of all
    // pixels that share the greatest luminance, so that a picture scaled up by repeating
    // pixels aims at the same point.
    const int x0 = std::max(0, _spotCellX - 1) * factor;
    const int x1 = std::min(image.width, (_spotCellX + 2) * factor);
    const int y0 = std::max(0, _spotCellY - 1) * factor;
    const int y1 = std::min(image.height, (_spotCellY + 2) * factor);
    double brightest = -1.0;
    double sumX = 0.0, sumY = 0.0, ties = 0.0;
    for (int y = y0; y < y1; ++y) {
        const float* row = image.row(y);
        for (int x = x0; x < x1; ++x) {
            const double luminance = LatLongGeometry::luminance(row + 3 * x);
            if (luminance > brightest) {
                brightest = luminance;
                sumX = sumY = ties = 0.0;
            }
            if (luminance == brightest) {
                sumX += x + 0.5;
                sumY += y + 0.5;
                ties += 1.0;
            }
        }
    }
    const double a = 2.0 * LatLongGeometry::pi * (sumX / ties) / image.width;
    const double t = LatLongGeometry::pi * (sumY / ties) / image.height;
    _spot = {std::cos(a) * std::sin(t), std::cos(t), std::sin(a) * std::sin(t)};
    _east = {-std::sin(a), 0.0, std::cos(a)};
    _south = {std::cos(a) * std::cos(t), -std::sin(t), std::sin(a) * std::cos(t)};
}

double KeyRegionCut::cosineToSpot(const SolidAngleTable::Sums& s) const
{
    const double length = std::sqrt(s[1] * s[1] + s[2] * s[2] + s[3] * s[3]);
    if (length == 0.0)
        return -1.0;
    return (s[1] * _spot[0] + s[2] * _spot[1] + s[3] * _spot[2]) / length;
}

std::size_t KeyRegionCut::strongest(const std::vector<PixelRect>& cut, bool* leads) const
{
    std::size_t first = 0;
    double top = -1.0, next = -1.0;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        const double power = _table.sums(cut[i])[0];
        if (power > top) {
            next = top;
            top = power;
            first = i;
        } else if (power > next) {
            next = power;
        }
    }
    if (leads)
        *leads = top > next;
    return first;
}

std::vector<PixelRect> KeyRegionCut::balancedBoxes() const
{
    const int w = _table.width();
    const int h = _table.height();
    const double total = _table.sums({0, 0, w, h})[0];
    std::vector<PixelRect> boxes;
    PixelRect box{_spotCellX, _spotCellY, 1, 1};
    for (int step = 0;; ++step) {
        const SolidAngleTable::Sums s = _table.sums(box);
        if (cosineToSpot(s) >= aimCosine())
            boxes.push_back(box);
        if (s[0] > largestShare * total || (box.width == w && box.height == h))
            break;
        // Columns and rows in turn, so that the box stays about as wide as high on the sphere;
        // the new column (row) goes on the side away from where the mean leans.
        const bool columns = step % 2 == 0;
        const Vec3& axis = columns ? _east : _south;
        const double lean = s[1] * axis[0] + s[2] * axis[1] + s[3] * axis[2];
        const bool canLow = columns ? box.x > 0 : box.y > 0;
        const bool canHigh = columns ? box.x + box.width < w : box.y + box.height < h;
        if (!canLow && !canHigh)
            continue;
        const bool low = lean > 0.0 ? canLow : !canHigh;
        if (columns) {
            box.x -= low ? 1 : 0;
            ++box.width;
        } else {
            box.y -= low ? 1 : 0;
            ++box.height;
        }
    }
    return boxes;
}

std::vector<PixelRect> KeyRegionCut::cut(int count) const
{
    std::vector<PixelRect> plain = _splitter.split(count);
    if (!_lit || count < fewestRegions)
        return plain;
    if (cosineToSpot(_table.sums(plain[strongest(plain, nullptr)])) >= aimCosine())
        return plain;

    // The smallest balanced box that leads: a larger box holds more power, so whether it
    // leads changes about once along the boxes; halve the range to find where.
    const std::vector<PixelRect> boxes = balancedBoxes();
    std::vector<PixelRect> best;
    int low = 0, high = int(boxes.size()) - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        std::vector<PixelRect> keyed = _splitter.splitAround(count, boxes[std::size_t(middle)]);
        bool leads = false;
        if (!keyed.empty() && strongest(keyed, &leads) == 0 && leads) {
            best = std::move(keyed);
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    if (best.empty() || _splitter.spread(best) > spreadAllowance * _splitter.spread(plain))
        return plain;
    return best;
}

} // namespace Morvek
