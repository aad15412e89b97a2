#include "RegionSplitter.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace Morvek {

RegionSplitter::Region RegionSplitter::makeRegion(const PixelRect& rect, double power) const
{
    Region region;
    region.rect = rect;
    region.power = power;
    // A light toward the region's mean direction, with the region's power, overstates what it
    // delivers by the power minus the length of the first moment: 0 for a point, growing with
    // the spread of the region's light on the sphere.
    const SolidAngleTable::Sums s =
        _table.sums(rect.x, rect.y, rect.x + rect.width - 1, rect.y + rect.height - 1);
    region.cost = std::fmax(power - std::sqrt(s[1] * s[1] + s[2] * s[2] + s[3] * s[3]), 0.0);
    return region;
}

RegionSplitter::Split RegionSplitter::bestSplit(const Region& region) const
{
    Split split;
    const PixelRect& r = region.rect;
    if (r.width == 1 && r.height == 1)
        return split;
    const int x1 = r.x + r.width - 1;
    const int y1 = r.y + r.height - 1;
    const SolidAngleTable::Sums whole = _table.sums(r.x, r.y, x1, y1);
    const auto spread = [](const SolidAngleTable::Sums& s) {
        return std::fmax(s[0] - std::sqrt(s[1] * s[1] + s[2] * s[2] + s[3] * s[3]), 0.0);
    };
    // Every cut across columns and across rows; the one that leaves the least spread wins
    // (the first such), so that a bright spot ends up in a part of its own.
    double best = HUGE_VAL;
    bool bestColumns = false;
    int bestK = -1;
    for (const bool columns : {true, false}) {
        const int side = columns ? r.width : r.height;
        for (int k = 0; k + 1 < side; ++k) {
            const SolidAngleTable::Sums a =
                columns ? _table.sums(r.x, r.y, r.x + k, y1) : _table.sums(r.x, r.y, x1, r.y + k);
            SolidAngleTable::Sums b;
            for (std::size_t i = 0; i < 4; ++i)
                b[i] = whole[i] - a[i];
            const double cost = spread(a) + spread(b);
            if (cost < best) {
                best = cost;
                bestColumns = columns;
                bestK = k;
            }
        }
    }
    PixelRect a = r, b = r;
    if (bestColumns) {
        a.width = bestK + 1;
        b.x = r.x + bestK + 1;
        b.width = r.width - bestK - 1;
    } else {
        a.height = bestK + 1;
        b.y = r.y + bestK + 1;
        b.height = r.height - bestK - 1;
    }
    const double part = _table.sums(a.x, a.y, a.x + a.width - 1, a.y + a.height - 1)[0];
    split.first = makeRegion(a, part);
    split.second = makeRegion(b, region.power - part);
    split.possible = true;
    split.gain = region.cost - split.first.cost - split.second.cost;
    return split;
}

std::vector<PixelRect> RegionSplitter::split(int count) const
{
    struct Entry {
        Split split;
        double area; // breaks ties between equal gains (black regions): the larger first
        PixelRect rect;
    };
    const auto later = [](const Entry& a, const Entry& b) {
        if (a.split.possible != b.split.possible)
            return b.split.possible;
        if (a.split.gain != b.split.gain)
            return a.split.gain < b.split.gain;
        if (a.area != b.area)
            return a.area < b.area;
        return a.rect.y != b.rect.y ? a.rect.y > b.rect.y : a.rect.x > b.rect.x;
    };
    std::priority_queue<Entry, std::vector<Entry>, decltype(later)> queue(later);
    const auto push = [&](const Region& region) {
        queue.push(
            {bestSplit(region), double(region.rect.width) * region.rect.height, region.rect});
    };

    const PixelRect whole{0, 0, _table.width(), _table.height()};
    push(makeRegion(whole, _table.sums(0, 0, whole.width - 1, whole.height - 1)[0]));
    std::vector<PixelRect> leaves;
    int regions = 1;
    while (regions < count && !queue.empty()) {
        Entry top = queue.top();
        queue.pop();
        if (!top.split.possible) { // only single pixels are left
            leaves.push_back(top.rect);
            break;
        }
        push(top.split.first);
        push(top.split.second);
        ++regions;
    }
    while (!queue.empty()) {
        leaves.push_back(queue.top().rect);
        queue.pop();
    }
    return leaves;
}

} // namespace Morvek
