#pragma once

// The physical extraction reads an environment as a Morvek::RadianceImage: three floats of
// linear radiance per pixel. The loader's HDR images are that already and are viewed in place,
// bottom row first as OpenSG stores them; 8-bit pictures (PNG, JPEG) are widened to floats
// here, each byte over 255, as the lighting node pool reads them.

#include <morvekSampling/RadianceImage.h>

#include <OpenSG/OSGImage.h>

#include <string>
#include <vector>

namespace envlights {

class RadianceBuffer {
public:
    RadianceBuffer() = default;
    RadianceBuffer(const RadianceBuffer&) = delete; // the view may point into _widened
    RadianceBuffer& operator=(const RadianceBuffer&) = delete;

    /// Views or widens `image`, which must outlive the view. False with `error` (and an empty
    /// view) for anything but an uncompressed OSG_RGB_PF image of 8-bit or 32-bit float data.
    bool set(const osg::ImagePtr& image, std::string& error);

    const Morvek::RadianceImage& image() const { return _image; }

private:
    std::vector<float> _widened; ///< the floats of an 8-bit image
    Morvek::RadianceImage _image;
};

} // namespace envlights
