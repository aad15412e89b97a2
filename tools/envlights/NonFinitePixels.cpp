#include "NonFinitePixels.h"

#include <cmath>

namespace envlights {

std::uint64_t NonFinitePixels::replaceWithZero(osg::ImagePtr image)
{
    if (image == osg::NullFC || image->getData() == nullptr ||
        image->getDataType() != osg::Image::OSG_FLOAT32_IMAGEDATA || image->hasCompressedData())
        return 0;
    const std::size_t components = image->getComponents();
    const std::uint64_t pixels = image->getSize(false, false, false) / (components * sizeof(float));
    auto* values = reinterpret_cast<float*>(image->editData());
    std::uint64_t replaced = 0;
    for (std::uint64_t p = 0; p < pixels; ++p) {
        float* pixel = values + p * components;
        bool finite = true;
        for (std::size_t c = 0; c < components; ++c)
            finite = finite && std::isfinite(pixel[c]);
        if (!finite) {
            for (std::size_t c = 0; c < components; ++c)
                pixel[c] = 0.0f;
            ++replaced;
        }
    }
    if (replaced) {
        osg::beginEditCP(image);
        osg::endEditCP(image);
    }
    return replaced;
}

} // namespace envlights
