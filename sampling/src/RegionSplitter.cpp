#include "RegionSplitter.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace Morvek {

namespace {

// A light toward a region's mean direction, with the region's power, overstates what it
// delivers by the power minus the length of the first moment: 0 for a point, growing with the
// spread of the region's light on the sphere.
double spreadOf(const SolidAngleTable::Sums& s)
{
    return std::fmax(s[0] - std::sqrt(s[1] * s[1] + s[2] * s[2] + s[3] * s[3]), 0.0);
}

} // namespace

RegionSplitter::Region RegionSplitter::makeRegion(const PixelRect& rect, double power) const
{
    Region region;
    region.rect = rect;
    region.power = power;
    SolidAngleTable::Sums s = _table.sums(rect);
    s[0] = power;
    region.cost = spreadOf(s);
    return region;
}

RegionSplitter::Region RegionSplitter::makeRegion(const PixelRect& rect) const
{
    return makeRegion(rect, _table.sums(rect)[0]);
}

double RegionSplitter::spread(const std::vector<PixelRect>& cut) const
{
    double total = 0.0;
    for (const PixelRect& r : cut)
        total += spreadOf(_table.sums(r));
    return total;
}

RegionSplitter::Split RegionSplitter::bestSplit(const Region& region) const
{
    Split split;
    const PixelRect& r = region.rect;
    if (r.width == 1 && r.height == 1)
        return split;
    const int x1 = r.x + r.width - 1;
    const int y1 = r.y + r.height - 1;
    const SolidAngleTable::Sums whole = _table.sums(r);
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
            const double cost = spreadOf(a) + spreadOf(b);
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
    const double part = _table.sums(a)[0];
    split.first = makeRegion(a, part);
    split.second = makeRegion(b, region.power - part);
    split.possible = true;
    split.gain = region.cost - split.first.cost - split.second.cost;
    return split;
}

std::vector<PixelRect> RegionSplitter::split(int count) const
{
    return splitFrom(count, {makeRegion({0, 0, _table.width(), _table.height()})}, {});
}

std::vector<PixelRect> RegionSplitter::splitAround(int count, const PixelRect& key) const
{
    const int w = _table.width();
    const int h = _table.height();
    const PixelRect around[4] = {
        {0, 0, w, key.y},                                              // above, whole rows
        {0, key.y + key.height, w, h - key.y - key.height},            // below, whole rows
        {0, key.y, key.x, key.height},                                 // left
        {key.x + key.width, key.y, w - key.x - key.width, key.height}, // right
    };
    std::vector<Region> start;
    for (const PixelRect& r : around)
        if (r.width > 0 && r.height > 0)
            start.push_back(makeRegion(r));
    if (int(start.size()) + 1 > count)
        return {};
    return splitFrom(count - 1, start, {key});
}

std::vector<PixelRect> RegionSplitter::splitFrom(int count, const std::vector<Region>& start,
                                                 std::vector<PixelRect> leaves) const
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

    for (const Region& region : start)
        push(region);
    int regions = int(start.size());
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
