#include <morvekSampling/PhysicalExtraction.h>

#include "KeyRegionCut.h"
#include "LatLongGeometry.h"
#include "PowerRefit.h"
#include "SolidAngleTable.h"

#include <algorithm>
#include <cmath>

namespace Morvek {

namespace {

using Vec3 = std::array<double, 3>;
constexpr double luminanceWeights[3] = {0.2125, 0.7154, 0.0721};

// Pixels per side of the cells the cut works on: a grid about 128 cells wide, so that the cut's
// tables stay small and the same environment cuts alike at any resolution (every light's
// values still come from every pixel), yet never fewer cells than maxLights, or `lights`.
int cellFactor(int width, int height, int lights)
{
    int factor = std::max(1, width / 128);
    const auto cells = [&](int f) {
        return double((width + f - 1) / f) * double((height + f - 1) / f);
    };
    while (factor > 1 && cells(factor) < std::max(lights, PhysicalExtraction::maxLights))
        --factor;
    return factor;
}

double luminance(const Vec3& rgb)
{
    return luminanceWeights[0] * rgb[0] + luminanceWeights[1] * rgb[1] +
           luminanceWeights[2] * rgb[2];
}

} // namespace

PhysicalExtraction::Result PhysicalExtraction::extract(const RadianceImage& image,
                                                       const Options& options)
{
    Result result;
    if (!image.rgb || image.width < 1 || image.height < 1) {
        result.error = "the image has no pixels";
        return result;
    }
    const double pixels = double(image.width) * double(image.height);
    if (options.lights < 0 || options.lights > maxLights) {
        result.error = "cannot make " + std::to_string(options.lights) + " lights: give 0 to " +
                       std::to_string(maxLights);
        return result;
    }
    if (options.lights > pixels) {
        result.error = "cannot make " + std::to_string(options.lights) +
                       " lights from an image of " + std::to_string(image.width) + " x " +
                       std::to_string(image.height) + " pixels";
        return result;
    }

    const LatLongGeometry geometry(image.width, image.height);
    const int factor = cellFactor(image.width, image.height, options.lights);
    SolidAngleTable table;
    if (!table.build(image, geometry, factor, options.threads)) {
        result.error = "the image holds a value that is not finite (NaN or infinity)";
        return result;
    }

    // The environment's moments per channel, each cell's power toward its own mean direction.
    std::array<PowerRefit::Moments, 3> total{};
    const auto toward = [&](const SolidAngleTable::Cell& sums, const PixelRect& pixels) -> Vec3 {
        const double length = std::sqrt(sums[3] * sums[3] + sums[4] * sums[4] + sums[5] * sums[5]);
        if (length > 0.0)
            return {sums[3] / length, sums[4] / length, sums[5] / length};
        // Black: the centre of its pixels.
        const double a = 2.0 * LatLongGeometry::pi * (pixels.x + 0.5 * pixels.width) / image.width;
        const double t = LatLongGeometry::pi * (pixels.y + 0.5 * pixels.height) / image.height;
        return {std::cos(a) * std::sin(t), std::cos(t), std::sin(a) * std::sin(t)};
    };
    const auto pixelsOf = [&](const PixelRect& cells) {
        PixelRect p{cells.x * factor, cells.y * factor, cells.width * factor,
                    cells.height * factor};
        p.width = std::min(p.width, image.width - p.x);
        p.height = std::min(p.height, image.height - p.y);
        return p;
    };
    for (int y = 0; y < table.height(); ++y)
        for (int x = 0; x < table.width(); ++x) {
            const SolidAngleTable::Cell& c = table.cell(x, y);
            const PowerRefit::Moments b = PowerRefit::momentsOf(toward(c, pixelsOf({x, y, 1, 1})));
            for (std::size_t ch = 0; ch < 3; ++ch)
                for (std::size_t k = 0; k < PowerRefit::momentCount; ++k)
                    total[ch][k] += c[ch] * b[k];
        }
    for (std::size_t ch = 0; ch < 3; ++ch)
        result.totalIrradiance[ch] = total[ch][0];
    // Values near the float range's end overflow when a cell adds them up: no light can be
    // made of an infinite total.
    const SolidAngleTable::Sums whole = table.sums(0, 0, table.width() - 1, table.height() - 1);
    bool finite = true;
    for (std::size_t ch = 0; ch < 3; ++ch)
        for (std::size_t k = 0; k < PowerRefit::momentCount; ++k)
            finite = finite && std::isfinite(total[ch][k]);
    for (const double v : whole)
        finite = finite && std::isfinite(v);
    if (!finite) {
        result = Result();
        result.error = "the image's values are too large to add up (their sum is not finite)";
        return result;
    }
    if (options.lights == 0)
        return result;

    const std::vector<PixelRect> cut =
        KeyRegionCut(table, image, geometry, factor).cut(options.lights);
    const std::size_t n = cut.size();
    std::vector<SolidAngleTable::Cell> sums(n);
    std::vector<PixelRect> regions(n);
    std::vector<Vec3> directions(n);
    std::vector<double> solidAngles(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const PixelRect& r = cut[i];
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x)
                for (std::size_t k = 0; k < 6; ++k)
                    sums[i][k] += table.cell(x, y)[k];
        regions[i] = pixelsOf(r);
        directions[i] = toward(sums[i], regions[i]);
        for (int y = regions[i].y; y < regions[i].y + regions[i].height; ++y)
            solidAngles[i] += geometry.solidAngle[std::size_t(y)] * regions[i].width;
    }

    // Powers per channel, refitted to the environment's moments.
    std::array<std::vector<double>, 3> power;
    for (std::size_t ch = 0; ch < 3; ++ch) {
        power[ch].resize(n);
        for (std::size_t i = 0; i < n; ++i)
            power[ch][i] = sums[i][ch];
        PowerRefit::refit(directions, total[ch], power[ch]);
    }

    result.lights.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        PhysicalLight& light = result.lights[i];
        light.direction = {-directions[i][0], -directions[i][1], -directions[i][2]};
        light.irradiance = {power[0][i], power[1][i], power[2][i]};
        light.solidAngle = solidAngles[i];
        light.region = regions[i];
    }
    // The most powerful first; ties in picture order, so that the order is reproducible.
    std::stable_sort(result.lights.begin(), result.lights.end(),
                     [](const PhysicalLight& a, const PhysicalLight& b) {
                         const double la = luminance(a.irradiance);
                         const double lb = luminance(b.irradiance);
                         if (la != lb)
                             return la > lb;
                         return a.region.y != b.region.y ? a.region.y < b.region.y
                                                         : a.region.x < b.region.x;
                     });
    return result;
}

} // namespace Morvek
