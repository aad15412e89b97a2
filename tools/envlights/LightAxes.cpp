#include "LightAxes.h"

#include <algorithm>
#include <cmath>

namespace envlights {

namespace {

constexpr double pi = 3.14159265358979323846;

Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec3 normalized(const Vec3& v)
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

} // namespace

Vec3 LightAxes::convert(const Vec3& yUp, UpAxis up)
{
    if (up == UpAxis::Y)
        return yUp;
    return {yUp[0], -yUp[2], yUp[1]};
}

std::array<Vec3, 3> LightAxes::frame(const Vec3& direction)
{
    const Vec3 z{-direction[0], -direction[1], -direction[2]};
    // Local X level with the ground when it can be; a light straight up or down takes world X.
    const Vec3 helper = std::abs(z[1]) < 0.9 ? Vec3{0.0, 1.0, 0.0} : Vec3{1.0, 0.0, 0.0};
    const Vec3 x = normalized(cross(helper, z));
    return {x, cross(z, x), z};
}

std::array<double, 4> LightAxes::quaternion(const Vec3& direction)
{
    // The rotation matrix's columns are the frame's rows; the largest of the four candidate
    // components is divided by, which keeps every case well conditioned.
    const std::array<Vec3, 3> f = frame(direction);
    const auto m = [&](int row, int column) { return f[std::size_t(column)][std::size_t(row)]; };
    const double trace = m(0, 0) + m(1, 1) + m(2, 2);
    std::array<double, 4> q{};
    if (trace > 0.0) {
        const double s = 2.0 * std::sqrt(1.0 + trace);
        q = {(m(2, 1) - m(1, 2)) / s, (m(0, 2) - m(2, 0)) / s, (m(1, 0) - m(0, 1)) / s, s / 4.0};
    } else if (m(0, 0) > m(1, 1) && m(0, 0) > m(2, 2)) {
        const double s = 2.0 * std::sqrt(1.0 + m(0, 0) - m(1, 1) - m(2, 2));
        q = {s / 4.0, (m(0, 1) + m(1, 0)) / s, (m(0, 2) + m(2, 0)) / s, (m(2, 1) - m(1, 2)) / s};
    } else if (m(1, 1) > m(2, 2)) {
        const double s = 2.0 * std::sqrt(1.0 + m(1, 1) - m(0, 0) - m(2, 2));
        q = {(m(0, 1) + m(1, 0)) / s, s / 4.0, (m(1, 2) + m(2, 1)) / s, (m(0, 2) - m(2, 0)) / s};
    } else {
        const double s = 2.0 * std::sqrt(1.0 + m(2, 2) - m(0, 0) - m(1, 1));
        q = {(m(0, 2) + m(2, 0)) / s, (m(1, 2) + m(2, 1)) / s, s / 4.0, (m(1, 0) - m(0, 1)) / s};
    }
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& c : q)
        c /= length;
    return q;
}

double LightAxes::coneAngle(double solidAngle)
{
    // A cone of half-angle t holds 2 pi (1 - cos t) steradians.
    const double cosHalf = std::clamp(1.0 - solidAngle / (2.0 * pi), 0.0, 1.0);
    return 2.0 * std::acos(cosHalf);
}

} // namespace envlights
