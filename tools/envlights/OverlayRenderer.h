#pragma once

// A PNG that shows where the lights came from: the environment tone-mapped to sRGB, the
// picture's top row at the top, every leaf of the cut outlined (grey, or yellow when it made a
// light) and every light marked with a red cross and its rank (1 = densest) at the pixel its
// direction comes from, which is its region's energy centroid.

#include "EnvironmentReport.h"

#include <OpenSG/OSGImage.h>

#include <string>

namespace envlights {

class OverlayRenderer {
public:
    /// Pictures narrower than this are enlarged by a whole factor (nearest pixel), so that the
    /// marks stay readable on small environments.
    static constexpr int minWidth = 512;

    /// The enlargement used for a picture `width` pixels wide: ceil(minWidth / width), at least 1.
    static int scaleFor(int width);

    /// Float images: exposure that brings the log-average luminance to 0.18, then x / (1 + x)
    /// per channel, then the sRGB curve. Byte images are taken as already display-encoded.
    /// Reads OSG_RGB_PF or OSG_RGBA_PF images of 8-bit or 32-bit float data; returns false with
    /// `error` for anything else.
    static bool renderPng(const osg::ImagePtr& image, const EnvironmentReport& report,
                          std::string& png, std::string& error);
};

} // namespace envlights
