#include <morvekSampling/IrradianceError.h>

#include "LatLongGeometry.h"

#include <algorithm>
#include <cmath>

namespace Morvek {

namespace {

using Vec3 = std::array<double, 3>;

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Sums of one row's luminance L, L cos a and L sin a over columns [0, x), for every x.
struct RowPrefix {
    std::vector<double> y, yc, ys;

    explicit RowPrefix(std::size_t width) : y(width + 1), yc(width + 1), ys(width + 1) {}

    void fill(const float* rgb, const LatLongGeometry& g)
    {
        const std::size_t width = y.size() - 1;
        for (std::size_t x = 0; x < width; ++x) {
            const double l = LatLongGeometry::luminance(rgb + 3 * x);
            y[x + 1] = y[x] + l;
            yc[x + 1] = yc[x] + l * g.cosA[x];
            ys[x + 1] = ys[x] + l * g.sinA[x];
        }
    }
};

} // namespace

std::vector<std::array<double, 3>> IrradianceError::normals()
{
    std::vector<Vec3> out(normalCount);
    const double golden = LatLongGeometry::pi * (3.0 - std::sqrt(5.0));
    for (int j = 0; j < normalCount; ++j) {
        const double z = 1.0 - 2.0 * (j + 0.5) / normalCount;
        const double r = std::sqrt(1.0 - z * z);
        const double a = j * golden;
        out[std::size_t(j)] = {r * std::cos(a), z, r * std::sin(a)};
    }
    return out;
}

std::vector<double> IrradianceError::environment(const RadianceImage& image,
                                                 const std::vector<std::array<double, 3>>& normals)
{
    std::vector<double> e(normals.size(), 0.0);
    if (!image.rgb || image.width < 1 || image.height < 1)
        return e;
    const LatLongGeometry g(image.width, image.height);
    const std::size_t width = std::size_t(image.width);
    RowPrefix prefix(width);
    const double columnsPerRadian = double(width) / (2.0 * LatLongGeometry::pi);

    for (int r = 0; r < image.height; ++r) {
        prefix.fill(image.row(r), g);
        const double st = g.sinT[std::size_t(r)];
        const double ct = g.cosT[std::size_t(r)];
        const double omega = g.solidAngle[std::size_t(r)];
        for (std::size_t j = 0; j < normals.size(); ++j) {
            const Vec3& n = normals[j];
            // n . w = st (nx cos a + nz sin a) + ny ct: positive on one arc of columns.
            const auto facing = [&](long x) {
                const std::size_t c = std::size_t(((x % long(width)) + long(width)) % long(width));
                return st * (n[0] * g.cosA[c] + n[2] * g.sinA[c]) + n[1] * ct > 0.0;
            };
            const auto add = [&](std::size_t x0, std::size_t x1) { // columns [x0, x1)
                const double y = prefix.y[x1] - prefix.y[x0];
                const double yc = prefix.yc[x1] - prefix.yc[x0];
                const double ys = prefix.ys[x1] - prefix.ys[x0];
                e[j] += omega * (st * (n[0] * yc + n[2] * ys) + n[1] * ct * y);
            };
            const double rho = std::hypot(n[0], n[2]) * st;
            const double offset = n[1] * ct;
            // Pixels facing exactly sideways add 0 whichever side they are counted on.
            if (offset >= rho) {
                add(0, width);
                continue;
            }
            if (-offset >= rho)
                continue;
            // Facing where cos(a - beta) > -offset / rho: an arc of half-width delta about beta.
            const double beta = std::atan2(n[2], n[0]);
            const double delta = std::acos(std::clamp(-offset / rho, -1.0, 1.0));
            long lo = long(std::ceil((beta - delta) * columnsPerRadian - 0.5));
            long hi = long(std::floor((beta + delta) * columnsPerRadian - 0.5));
            // Settle the ends on the pixels' own signs.
            for (int guard = 0; guard < 4 && lo <= hi && !facing(lo); ++guard)
                ++lo;
            for (int guard = 0; guard < 4 && facing(lo - 1) && hi - lo + 1 < long(width); ++guard)
                --lo;
            for (int guard = 0; guard < 4 && hi >= lo && !facing(hi); ++guard)
                --hi;
            for (int guard = 0; guard < 4 && facing(hi + 1) && hi - lo + 1 < long(width); ++guard)
                ++hi;
            if (hi < lo)
                continue;
            if (hi - lo + 1 >= long(width)) {
                add(0, width);
                continue;
            }
            const long first = ((lo % long(width)) + long(width)) % long(width);
            const long count = hi - lo + 1;
            if (first + count <= long(width)) {
                add(std::size_t(first), std::size_t(first + count));
            } else {
                add(std::size_t(first), width);
                add(0, std::size_t(first + count - long(width)));
            }
        }
    }
    return e;
}

std::vector<double> IrradianceError::lights(const std::vector<PhysicalLight>& lights,
                                            const std::vector<std::array<double, 3>>& normals)
{
    std::vector<double> e(normals.size(), 0.0);
    for (const PhysicalLight& light : lights) {
        const double y = 0.2125 * light.irradiance[0] + 0.7154 * light.irradiance[1] +
                         0.0721 * light.irradiance[2];
        for (std::size_t j = 0; j < normals.size(); ++j)
            e[j] += y * std::max(0.0, -dot(normals[j], light.direction));
    }
    return e;
}

double IrradianceError::measure(const RadianceImage& image,
                                const std::vector<PhysicalLight>& lights)
{
    const std::vector<Vec3> n = normals();
    const std::vector<double> reference = environment(image, n);
    const std::vector<double> approximation = IrradianceError::lights(lights, n);
    double difference = 0.0;
    double total = 0.0;
    for (std::size_t j = 0; j < n.size(); ++j) {
        const double d = approximation[j] - reference[j];
        difference += d * d;
        total += reference[j] * reference[j];
    }
    if (total == 0.0)
        return difference == 0.0 ? 0.0 : 1.0;
    return std::sqrt(difference / total);
}

} // namespace Morvek
