#pragma once

// The geometry the rendering formats share: a direction in a file's axes, the orientation of a
// light that shines along -Z in its own frame, and the spread of its source.

#include "FormatOptions.h"

#include <array>

namespace envlights {

using Vec3 = std::array<double, 3>;

class LightAxes {
public:
    /// `yUp` (the lights' own axes, Y up) in the axes of a file whose up axis is `up`.
    static Vec3 convert(const Vec3& yUp, UpAxis up);

    /// Rows: the light's local X, Y and Z axes in world axes, orthonormal and right-handed,
    /// with local -Z along `direction` (a unit vector).
    static std::array<Vec3, 3> frame(const Vec3& direction);

    /// The unit quaternion (x, y, z, w) turning local -Z onto `direction`: frame() as a
    /// rotation.
    static std::array<double, 4> quaternion(const Vec3& direction);

    /// The apex angle of a round cone of `solidAngle` steradians, in radians; a source larger
    /// than a hemisphere gives pi (half the sky), as far as renderers' sun angles go.
    static double coneAngle(double solidAngle);
};

} // namespace envlights
