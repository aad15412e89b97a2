#pragma once

// Turning a latitude-longitude environment about the vertical (Y) axis is a shift of its
// columns. A positive angle turns it counterclockwise seen from above (right-handed about +Y),
// the same turn as an X3D Transform with rotation "0 1 0 angle": whatever was seen at azimuth
// phi is seen at phi + angle afterwards.

#include <OpenSG/OSGImage.h>

#include <cstddef>

#include <morvekSampling/PhysicalLight.h>

namespace envlights {

class EnvironmentRotation {
public:
    /// `degrees` may be any finite number; it is taken modulo 360.
    explicit EnvironmentRotation(double degrees) : _degrees(degrees) {}

    /// Columns the picture moves to the LEFT for an image `width` pixels wide: the turn rounded
    /// to whole columns, in [0, width).
    int columnShift(int width) const;

    /// Shifts the columns of `image` in place (any uncompressed pixel format, one frame, no
    /// mipmaps). Returns false, leaving the image unchanged, when it holds no such data.
    bool apply(osg::ImagePtr image) const;

    /// The same on `height` rows of `width` pixels of `pixelBytes` bytes each at `data`.
    void apply(unsigned char* data, std::size_t pixelBytes, int width, int height) const;

    /// A rectangle of the turned picture (`width` columns) in the original picture's pixels:
    /// its columns moved back right by columnShift(width). Its x stays within [0, width); a
    /// rectangle that then runs past the right edge keeps its width, x + width > `width`, and
    /// goes on from the left edge.
    Morvek::PixelRect originalRegion(const Morvek::PixelRect& turned, int width) const;

private:
    double _degrees;
};

} // namespace envlights
