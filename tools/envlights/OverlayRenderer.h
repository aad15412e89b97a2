#pragma once

// A PNG that shows where the lights came from: the environment tone-mapped to sRGB, the
// picture's top row at the top, every leaf of the cut outlined (grey, or yellow when it made a
// light), every light marked at the pixel its direction comes from (its region's energy
// centroid) with a red cross inside a red circle whose area is proportional to the light's share
// of the lights' power, and labelled with its rank where the label meets no other; below the
// picture, a legend that says what the outlines, circles and numbers mean, the method and n.

#include "EnvironmentReport.h"
#include "LabelLayout.h"

#include <OpenSG/OSGImage.h>

#include <optional>
#include <string>
#include <vector>

namespace envlights {

class OverlayRenderer {
public:
    /// Pictures narrower than this are enlarged by a whole factor (nearest pixel), so that the
    /// marks stay readable on small environments.
    static constexpr int minWidth = 512;
    /// Radius in pixels of the circle of a light that has all the power; a light of share s
    /// gets maxRadius * sqrt(s), at least minRadius, so that areas compare as shares do.
    static constexpr int maxRadius = 40;
    static constexpr int minRadius = 3;
    /// Label and legend text: each font pixel is this many pixels wide.
    static constexpr int textScale = 2;

    /// What the overlay shows besides the picture and the report.
    struct Content {
        /// Each light's share of the lights' power, in report order; empty: equal shares.
        std::vector<double> shares;
        /// The method's name for the legend ("physical", "node").
        std::string method;
        /// What rank 1 is, for the legend ("most powerful"); empty: not said.
        std::string firstRank;
    };

    /// Where the marks and labels of a picture `width` x `height` pixels go, in canvas pixels.
    struct Layout {
        int scale = 1;         ///< the picture's enlargement
        int pictureHeight = 0; ///< canvas rows of the picture; the legend lies below
        std::vector<LabelLayout::Label> marks;               ///< per light, report order
        std::vector<std::optional<LabelLayout::Box>> labels; ///< per light; none: left out
        std::vector<std::string> legend;                     ///< the legend's lines
    };

    /// The enlargement used for a picture `width` pixels wide: ceil(minWidth / width), at least 1.
    static int scaleFor(int width);

    /// The circle radius, in pixels, of a light with `share` of the power (0 to 1).
    static int markRadius(double share);

    static Layout layout(const EnvironmentReport& report, const Content& content, int width,
                         int height);

    /// Float images: exposure that brings the log-average luminance to 0.18, then x / (1 + x)
    /// per channel, then the sRGB curve. Byte images are taken as already display-encoded.
    /// Reads OSG_RGB_PF or OSG_RGBA_PF images of 8-bit or 32-bit float data; returns false with
    /// `error` for anything else.
    static bool renderPng(const osg::ImagePtr& image, const EnvironmentReport& report,
                          const Content& content, std::string& png, std::string& error);
};

} // namespace envlights
