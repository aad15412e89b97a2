#pragma once

// The environment envlights uses when it is given no image: a sun disc over a sky gradient and
// a darker ground, as a latitude-longitude picture of linear float RGB.
//
// Directions follow the convention the lighting node pool reads environments in (Y up; the
// picture's top row is the zenith, its bottom row the nadir; the picture's column u, counted
// from its left edge, looks toward the horizontal direction (-sin phi, 0, -cos phi) with
// phi = 2*pi*(1 - u/W) - pi/2: the left edge looks along +X, a quarter of the way along +Z,
// half way along -X, three quarters along -Z). A pixel is evaluated at its centre.
//
// The default sun stands 40 degrees above the horizon, half way between -X and -Z (front-left
// of an X3D viewer at its default position, looking down -Z): the direction TOWARD the sun is
// (-cos40*sin45, sin40, -cos40*cos45) = (-0.5417, 0.6428, -0.5417), so a light extracted from it
// shines along (0.5417, -0.6428, 0.5417), downward.

#include <OpenSG/OSGImage.h>

#include <array>

namespace envlights {

class ProceduralSky {
public:
    struct Settings {
        int width = 1024;              ///< pixels
        int height = 512;              ///< pixels
        float sunElevationDeg = 40.0f; ///< above the horizon, degrees
        float sunAzimuthDeg = 45.0f;   ///< from -Z toward -X, degrees (0: straight ahead)
        float sunRadiusDeg = 2.0f;     ///< angular radius of the disc, degrees (the real sun's is
                                       ///< 0.27; a wider disc covers several pixels)
        std::array<float, 3> sunRadiance{{800.0f, 760.0f, 680.0f}}; ///< inside the disc
        std::array<float, 3> zenith{{0.15f, 0.30f, 0.80f}};         ///< sky straight up
        std::array<float, 3> horizon{{0.75f, 0.85f, 1.00f}};        ///< sky at the horizon
        std::array<float, 3> ground{{0.20f, 0.17f, 0.13f}};         ///< below the horizon
    };

    ProceduralSky() : ProceduralSky(Settings()) {}
    explicit ProceduralSky(const Settings& settings);

    const Settings& settings() const { return _settings; }

    /// Unit direction toward the sun's centre.
    std::array<float, 3> sunDirection() const { return _sun; }

    /// The direction that picture column u, picture row r (0 = top) looks along, at the pixel's
    /// centre (unit length).
    std::array<float, 3> pixelDirection(int u, int r) const;

    /// Linear RGB radiance seen along the unit direction `d`.
    std::array<float, 3> radiance(const std::array<float, 3>& d) const;

    /// A new OSG_RGB_PF + OSG_FLOAT32_IMAGEDATA image (reference count 0), bottom row first as
    /// OpenSG stores images; NullFC when OpenSG cannot create images.
    osg::ImagePtr createImage() const;

private:
    Settings _settings;
    std::array<float, 3> _sun; ///< unit direction toward the sun's centre
    float _cosSunRadius;       ///< cosine of the disc's angular radius
};

} // namespace envlights
