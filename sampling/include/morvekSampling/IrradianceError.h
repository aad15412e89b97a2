#pragma once

#include <morvekSampling/PhysicalLight.h>
#include <morvekSampling/RadianceImage.h>

#include <array>
#include <vector>

namespace Morvek {

// How far a set of lights is from the environment they stand for, seen by diffuse surfaces:
// the luminance irradiance E(n) = 0.2125 R + 0.7154 G + 0.0721 B on a surface of normal n, at
// the 2000 normals of a Fibonacci lattice, n_j = (r cos a, z, r sin a) with
// z = 1 - 2 (j + 0.5) / 2000, r = sqrt(1 - z^2), a = j pi (3 - sqrt 5). The environment gives
// sum over pixels of Y * max(0, n . w) * dOmega (w toward the pixel centre, dOmega its exact
// solid angle), the lights sum of Y(irradiance) * max(0, -n . direction). The error is
// sqrt(sum (E_lights - E_env)^2 / sum E_env^2), with no scale fitted.
class IrradianceError {
public:
    static constexpr int normalCount = 2000;

    static std::vector<std::array<double, 3>> normals();

    // E_env at each normal of `normals`. Exact to rounding, yet about height operations per
    // normal rather than width * height.
    static std::vector<double> environment(const RadianceImage& image,
                                           const std::vector<std::array<double, 3>>& normals);
    static std::vector<double> lights(const std::vector<PhysicalLight>& lights,
                                      const std::vector<std::array<double, 3>>& normals);

    // The error over the lattice; 0 when the environment is black and the lights deliver
    // nothing, 1 for no light at all on a lit environment.
    static double measure(const RadianceImage& image, const std::vector<PhysicalLight>& lights);
};

} // namespace Morvek
