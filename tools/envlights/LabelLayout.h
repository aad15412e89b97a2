#pragma once

// Where the overlay writes each light's rank: beside its mark, clear of every other label and
// of the areas it is told to keep free (the legend). The most powerful light chooses first; a
// label that finds no room near its mark moves away along rings of growing size, and one that
// finds none at all is left out rather than drawn over another.

#include <optional>
#include <vector>

namespace envlights {

class LabelLayout {
public:
    /// A rectangle of canvas pixels, corners inclusive.
    struct Box {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool intersects(const Box& other) const
        {
            return x0 <= other.x1 && other.x0 <= x1 && y0 <= other.y1 && other.y0 <= y1;
        }
    };
    /// A mark at (x, y) of `radius` pixels, and the size of its label in pixels.
    struct Label {
        int x = 0, y = 0, radius = 0;
        int width = 0, height = 0;
    };

    /// How far a label may move from its mark's edge, in pixels.
    static constexpr int maxDistance = 240;

    /// The box of each label (in the order given, the first placed first), none where no room
    /// was left. Boxes lie within the width x height canvas and meet no other box nor any of
    /// `keepFree`; they keep clear of the other marks' centres where they can.
    static std::vector<std::optional<Box>> place(const std::vector<Label>& labels,
                                                 const std::vector<Box>& keepFree, int width,
                                                 int height);
};

} // namespace envlights
