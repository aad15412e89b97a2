#include "NonFinitePixels.h"

#include <algorithm>
#include <cmath>

namespace envlights {

std::uint64_t NonFinitePixels::replaceWithZero(osg::ImagePtr image)
{
    if (image == osg::NullFC || image->getData() == nullptr ||
        image->getDataType() != osg::Image::OSG_FLOAT32_IMAGEDATA || image->hasCompressedData())
        return 0;
    const std::size_t components = image->getComponents();
    const std::uint64_t pixels = image->getSize(false, false, false) / (components * sizeof(float));
    const std::uint64_t replaced =
        replaceWithZero(reinterpret_cast<float*>(image->editData()), pixels, components);
    if (replaced) {
        osg::beginEditCP(image);
        osg::endEditCP(image);
    }
    return replaced;
}

namespace {

bool finite(const float* pixel, std::size_t components)
{
    for (std::size_t c = 0; c < components; ++c)
        if (!std::isfinite(pixel[c]))
            return false;
    return true;
}

} // namespace

std::uint64_t NonFinitePixels::replaceWithZero(float* values, std::uint64_t pixels,
                                               std::size_t components)
{
    std::uint64_t replaced = 0;
    for (std::uint64_t p = 0; p < pixels; ++p) {
        float* pixel = values + p * components;
        if (!finite(pixel, components)) {
            std::fill_n(pixel, components, 0.0f);
            ++replaced;
        }
    }
    return replaced;
}

std::uint64_t NonFinitePixels::count(const float* values, std::uint64_t pixels,
                                     std::size_t components)
{
    std::uint64_t bad = 0;
    for (std::uint64_t p = 0; p < pixels; ++p)
        bad += finite(values + p * components, components) ? 0 : 1;
    return bad;
}

} // namespace envlights
