#include "ProceduralSky.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace envlights {

namespace {

constexpr double pi = 3.14159265358979323846;

double radians(double degrees) { return degrees * pi / 180.0; }

float mix(float a, float b, float t) { return a + (b - a) * t; }

} // namespace

ProceduralSky::ProceduralSky(const Settings& settings) : _settings(settings)
{
    const double elevation = radians(_settings.sunElevationDeg);
    const double azimuth = radians(_settings.sunAzimuthDeg);
    _sun = {static_cast<float>(-std::cos(elevation) * std::sin(azimuth)),
            static_cast<float>(std::sin(elevation)),
            static_cast<float>(-std::cos(elevation) * std::cos(azimuth))};
    _cosSunRadius = static_cast<float>(std::cos(radians(_settings.sunRadiusDeg)));
}

std::array<float, 3> ProceduralSky::pixelDirection(int u, int r) const
{
    const double phi = 2.0 * pi * (1.0 - (u + 0.5) / _settings.width) - pi / 2.0;
    const double polar = pi * (r + 0.5) / _settings.height; // 0 at the zenith
    return {static_cast<float>(-std::sin(phi) * std::sin(polar)),
            static_cast<float>(std::cos(polar)),
            static_cast<float>(-std::cos(phi) * std::sin(polar))};
}

std::array<float, 3> ProceduralSky::radiance(const std::array<float, 3>& d) const
{
    const float cosToSun = d[0] * _sun[0] + d[1] * _sun[1] + d[2] * _sun[2];
    if (cosToSun >= _cosSunRadius)
        return _settings.sunRadiance;

    std::array<float, 3> out{};
    if (d[1] < 0.0f) {
        // The ground darkens a little toward the nadir.
        const float shade = 1.0f + 0.5f * d[1];
        for (int c = 0; c < 3; ++c)
            out[c] = _settings.ground[c] * shade;
        return out;
    }
    const float t = std::sqrt(d[1]); // quick change just above the horizon
    float glow = std::max(0.0f, cosToSun);
    for (int i = 0; i < 6; ++i) // glow^64: a halo a few degrees wide
        glow *= glow;
    glow *= 0.5f;
    const float glowColor[3] = {1.0f, 0.9f, 0.7f};
    for (int c = 0; c < 3; ++c)
        out[c] = mix(_settings.horizon[c], _settings.zenith[c], t) + glow * glowColor[c];
    return out;
}

osg::ImagePtr ProceduralSky::createImage() const
{
    const int width = _settings.width;
    const int height = _settings.height;
    std::vector<float> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              3);
    // Directions separate into a column part and a row part; each is worked out once.
    std::vector<std::array<float, 3>> columns(static_cast<std::size_t>(width));
    for (int u = 0; u < width; ++u)
        columns[static_cast<std::size_t>(u)] = pixelDirection(u, height / 2);
    for (int r = 0; r < height; ++r) {
        const int dataRow = height - 1 - r;
        const std::array<float, 3> rowDirection = pixelDirection(0, r);
        const float up = rowDirection[1];
        const float across = std::sqrt(std::max(0.0f, 1.0f - up * up));
        for (int u = 0; u < width; ++u) {
            const std::array<float, 3>& column = columns[static_cast<std::size_t>(u)];
            const float horizontal = std::sqrt(column[0] * column[0] + column[2] * column[2]);
            const std::array<float, 3> d{column[0] / horizontal * across, up,
                                         column[2] / horizontal * across};
            const std::array<float, 3> rgb = radiance(d);
            std::copy(rgb.begin(), rgb.end(),
                      pixels.begin() + 3 * (static_cast<std::ptrdiff_t>(dataRow) * width + u));
        }
    }
    osg::ImagePtr image = osg::Image::create();
    if (image == osg::NullFC)
        return image;
    osg::beginEditCP(image);
    image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
               reinterpret_cast<const osg::UInt8*>(pixels.data()),
               osg::Image::OSG_FLOAT32_IMAGEDATA);
    osg::endEditCP(image);
    return image;
}

} // namespace envlights
