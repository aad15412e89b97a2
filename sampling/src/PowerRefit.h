#pragma once

// Adjusts the powers of lights of fixed directions so that together they reproduce the
// environment's low-order moments exactly: its total power, its first moment (the mean
// direction of its light) and, with nine lights or more, its second moments. Those moments
// set a diffuse surface's irradiance almost entirely, since the cosine lobe passes little of
// anything finer. Each power changes as little as it can, relative to its own size, and none
// goes below 0.

#include <array>
#include <vector>

namespace Morvek {

class PowerRefit {
public:
    static constexpr int momentCount = 9; // 1, x, y, z, xx, yy, xy, xz, yz
    using Moments = std::array<double, momentCount>;

    // The moments of a unit direction m (toward the light's region), weighted 1.
    static Moments momentsOf(const std::array<double, 3>& m)
    {
        return {1.0,         m[0],        m[1],        m[2],       m[0] * m[0],
                m[1] * m[1], m[0] * m[1], m[0] * m[2], m[1] * m[2]};
    }

    // powers[i] (a region's own power, >= 0) become the refitted powers of lights toward
    // directions[i] whose moments sum to `target`.
    static void refit(const std::vector<std::array<double, 3>>& directions, const Moments& target,
                      std::vector<double>& powers);
};

} // namespace Morvek
