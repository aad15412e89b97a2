#include "LabelLayout.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace envlights {

namespace {

constexpr double pi = 3.14159265358979323846;
// Candidate directions around a mark: right, below right, below, ... so that the usual place,
// right of the mark and a little below, is tried first.
constexpr int directions = 8;
constexpr double firstAngle = pi / 8.0; // below right of the mark (y grows downwards)
constexpr int gap = 3;                  // pixels between a mark's edge and its label
constexpr int markCentre = 2;           // half the size of a mark's centre that labels avoid

// The box of a w x h label whose nearest point to (x, y) lies `distance` away toward `angle`.
LabelLayout::Box boxToward(int x, int y, double distance, double angle, int w, int h)
{
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    const int px = x + static_cast<int>(std::lround(distance * dx));
    const int py = y + static_cast<int>(std::lround(distance * dy));
    // Anchored by the corner or edge that faces the mark.
    const int left = dx > 0.3 ? px : dx < -0.3 ? px - w + 1 : px - w / 2;
    const int top = dy > 0.3 ? py : dy < -0.3 ? py - h + 1 : py - h / 2;
    return {left, top, left + w - 1, top + h - 1};
}

// Boxes filed by the 32 x 32 pixel cells they cover, so that a test meets only its neighbours
// however many lights there are.
class BoxGrid {
public:
    BoxGrid(int width, int height)
        : _columns(std::max(1, (width + cell - 1) / cell)),
          _rows(std::max(1, (height + cell - 1) / cell)),
          _cells(static_cast<std::size_t>(_columns) * static_cast<std::size_t>(_rows))
    {
    }
    void add(const LabelLayout::Box& box, std::size_t id)
    {
        _boxes.push_back({box, id});
        const Cells c = cellsOf(box);
        for (int r = c.r0; r <= c.r1; ++r)
            for (int column = c.c0; column <= c.c1; ++column)
                _cells[index(column, r)].push_back(_boxes.size() - 1);
    }
    /// Whether `box` meets a filed box of another id than `skip`.
    bool meets(const LabelLayout::Box& box, std::size_t skip) const
    {
        const Cells c = cellsOf(box);
        for (int r = c.r0; r <= c.r1; ++r)
            for (int column = c.c0; column <= c.c1; ++column)
                for (const std::size_t i : _cells[index(column, r)])
                    if (_boxes[i].second != skip && box.intersects(_boxes[i].first))
                        return true;
        return false;
    }

private:
    static constexpr int cell = 32;
    struct Cells {
        int c0, c1, r0, r1;
    };
    Cells cellsOf(const LabelLayout::Box& box) const
    {
        return {std::clamp(box.x0 / cell, 0, _columns - 1),
                std::clamp(box.x1 / cell, 0, _columns - 1), std::clamp(box.y0 / cell, 0, _rows - 1),
                std::clamp(box.y1 / cell, 0, _rows - 1)};
    }
    std::size_t index(int column, int row) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(_columns) +
               static_cast<std::size_t>(column);
    }

    int _columns;
    int _rows;
    std::vector<std::vector<std::size_t>> _cells;
    std::vector<std::pair<LabelLayout::Box, std::size_t>> _boxes;
};

constexpr std::size_t noLabel = static_cast<std::size_t>(-1);

} // namespace

std::vector<std::optional<LabelLayout::Box>> LabelLayout::place(const std::vector<Label>& labels,
                                                                const std::vector<Box>& keepFree,
                                                                int width, int height)
{
    BoxGrid centres(width, height);
    for (std::size_t k = 0; k < labels.size(); ++k)
        centres.add({labels[k].x - markCentre, labels[k].y - markCentre, labels[k].x + markCentre,
                     labels[k].y + markCentre},
                    k);
    BoxGrid taken(width, height);
    for (const Box& box : keepFree)
        taken.add(box, noLabel);
    std::vector<std::optional<Box>> placed(labels.size());
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const Label& label = labels[k];
        if (label.width <= 0 || label.height <= 0 || label.width > width || label.height > height)
            continue;
        const auto fits = [&](const Box& box, bool avoidCentres) {
            return box.x0 >= 0 && box.y0 >= 0 && box.x1 < width && box.y1 < height &&
                   !taken.meets(box, k) && !(avoidCentres && centres.meets(box, k));
        };
        // Rings half a label's height apart; on each, as many directions as its length allows.
        const int step = std::max(1, label.height / 2);
        for (const bool avoidCentres : {true, false}) {
            for (int distance = label.radius + gap;
                 !placed[k] && distance <= label.radius + gap + maxDistance; distance += step) {
                const int count =
                    std::max(directions, static_cast<int>(2.0 * pi * distance / step));
                for (int i = 0; i < count && !placed[k]; ++i) {
                    const Box box =
                        boxToward(label.x, label.y, distance, firstAngle + 2.0 * pi * i / count,
                                  label.width, label.height);
                    if (fits(box, avoidCentres))
                        placed[k] = box;
                }
            }
            if (placed[k])
                break;
        }
        if (placed[k])
            taken.add(*placed[k], k);
    }
    return placed;
}

} // namespace envlights
