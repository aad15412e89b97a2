#pragma once

// A picture for judging a set of lights against the environment they stand for: a diffuse
// sphere resting on a diffuse ground plane, drawn three times side by side.
//
//   REFERENCE   lit by the environment itself: at each surface point the sum over the
//               environment's directions of radiance * max(0, n . w) * solid angle, counting
//               only the directions that neither the sphere nor the ground blocks.
//   LIGHTS      lit by the lights alone, each with hard shadows.
//   DIFFERENCE  (lights - reference) luminance over the reference's mean surface luminance,
//               blue below, white at zero, red above, with a scale and the relative RMS error.
//
// Direct light only, no bounce between sphere and ground; 2 x 2 samples per pixel. Both lit
// panels share one exposure, which brings the reference's mean surface luminance to 0.18 (the
// lights' when the reference is black) before x / (1 + x) and the sRGB curve, so that they
// compare directly; behind the scene they show the environment itself.
//
// World axes are those of Morvek::RadianceImage (Y up). The sphere has radius 1 and its centre
// at (0, 1, 0), touching the ground y = 0 at the origin. The camera stands in front of it and
// above, at `cameraPosition` on the +Z side, looking toward the sphere along -Z and slightly
// down, so the ground in view lies mostly between the sphere and the camera and on either
// side; the environment shows only in a thin strip above the horizon (toward -Z, three
// quarters of the way across the environment's picture).

#include <morvekSampling/PhysicalLight.h>
#include <morvekSampling/RadianceImage.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace envlights {

class PreviewRenderer {
public:
    static constexpr int defaultPanelWidth = 320;  ///< pixels
    static constexpr int defaultPanelHeight = 240; ///< pixels
    static constexpr int panelCount = 3;           ///< reference, lights, difference
    static constexpr int maxPanelSide = 4096;      ///< pixels

    static constexpr double sphereAlbedo = 0.8;
    static constexpr double groundAlbedo = 0.5;

    /// The reference integrates a box-filtered copy of the environment at most this many
    /// columns by rows; smaller environments are used pixel for pixel.
    static constexpr int directionColumns = 128;
    static constexpr int directionRows = 64;

    /// The difference panel's colour scale runs from -differenceRange (full blue) to
    /// +differenceRange (full red), relative to the reference's mean surface luminance.
    static constexpr double differenceRange = 0.5;

    /// Pinhole camera: position, the point it looks at (world units) and its vertical field of
    /// view (degrees).
    static constexpr std::array<double, 3> cameraPosition{{0.0, 2.4, 6.0}};
    static constexpr std::array<double, 3> cameraTarget{{0.0, 0.7, 0.0}};
    static constexpr double verticalFieldOfViewDeg = 40.0;

    struct Picture {
        int width = 0;                 ///< panelCount * panel width, pixels
        int height = 0;                ///< panel height, pixels
        std::vector<std::uint8_t> rgb; ///< RGB8, row 0 at the top, rows without padding
        /// sqrt(mean over surface samples of (Y_lights - Y_reference)^2) / mean Y_reference,
        /// with Y the luminance (0.2125 R + 0.7154 G + 0.0721 B) of the light reflected. When
        /// the reference is black, the lights' mean stands in for its mean, so lights on a
        /// black environment give 1 or more and no light at all gives 0.
        double relativeDifference = 0.0;
    };

    /// The three panels, each panelWidth x panelHeight. Negative radiance components count as
    /// 0. An image without pixels, a non-finite pixel or light value, a light without a
    /// direction, or a panel side outside 1..maxPanelSide give false and one line in `error`.
    static bool render(const Morvek::RadianceImage& image,
                       const std::vector<Morvek::PhysicalLight>& lights, Picture& picture,
                       std::string& error, int panelWidth = defaultPanelWidth,
                       int panelHeight = defaultPanelHeight);

    /// render() at the default size, encoded as PNG.
    static bool renderPng(const Morvek::RadianceImage& image,
                          const std::vector<Morvek::PhysicalLight>& lights, std::string& png,
                          std::string& error);

    /// Where the world point `p` appears in a panel of the given size: pixel coordinates from
    /// the panel's left edge and top row (pixel (i, j) covers [i, i+1) x [j, j+1)). False for a
    /// point behind the camera or an empty panel.
    static bool project(const std::array<double, 3>& p, int panelWidth, int panelHeight, double& x,
                        double& y);
};

} // namespace envlights
