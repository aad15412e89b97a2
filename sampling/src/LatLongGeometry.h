#pragma once

// Where the pixels of a lat-long picture lie on the sphere and how much of it each covers (the
// axes of RadianceImage). Rows share their polar angle and solid angle, columns their azimuth,
// so everything is kept per row and per column.

#include <cmath>
#include <cstddef>
#include <vector>

namespace Morvek {

struct LatLongGeometry {
    static constexpr double pi = 3.14159265358979323846;

    std::vector<double> solidAngle; // per row: 2 pi / W (cos t0 - cos t1), t0, t1 its edges
    std::vector<double> sinT;       // per row, at the row's centre
    std::vector<double> cosT;
    std::vector<double> cosA; // per column, at the column's centre
    std::vector<double> sinA;

    LatLongGeometry(int width, int height)
        : solidAngle(std::size_t(height)), sinT(std::size_t(height)), cosT(std::size_t(height)),
          cosA(std::size_t(width)), sinA(std::size_t(width))
    {
        const double band = 2.0 * pi / width;
        for (int r = 0; r < height; ++r) {
            const double t0 = pi * r / height;
            const double t1 = pi * (r + 1) / height;
            const double t = pi * (r + 0.5) / height;
            solidAngle[std::size_t(r)] = band * (std::cos(t0) - std::cos(t1));
            sinT[std::size_t(r)] = std::sin(t);
            cosT[std::size_t(r)] = std::cos(t);
        }
        for (int x = 0; x < width; ++x) {
            const double a = band * (x + 0.5);
            cosA[std::size_t(x)] = std::cos(a);
            sinA[std::size_t(x)] = std::sin(a);
        }
    }

    // Luminance of a colour, negative components counting as 0.
    static double luminance(const float* rgb)
    {
        return 0.2125 * std::fmax(double(rgb[0]), 0.0) + 0.7154 * std::fmax(double(rgb[1]), 0.0) +
               0.0721 * std::fmax(double(rgb[2]), 0.0);
    }
};

} // namespace Morvek
