#include "EnvironmentRotation.h"

#include <algorithm>
#include <cmath>

namespace envlights {

int EnvironmentRotation::columnShift(int width) const
{
    if (width <= 0)
        return 0;
    const double turns = std::fmod(_degrees, 360.0) / 360.0;
    long long shift = std::llround(turns * width) % width;
    if (shift < 0)
        shift += width;
    return static_cast<int>(shift);
}

Morvek::PixelRect EnvironmentRotation::originalRegion(const Morvek::PixelRect& turned,
                                                      int width) const
{
    Morvek::PixelRect original = turned;
    if (width > 0)
        original.x = (turned.x + columnShift(width)) % width;
    return original;
}

bool EnvironmentRotation::apply(osg::ImagePtr image) const
{
    if (image == osg::NullFC || image->getData() == nullptr || image->hasCompressedData() ||
        image->getWidth() < 1 || image->getHeight() < 1)
        return false;
    const int width = image->getWidth();
    const int shift = columnShift(width);
    if (shift == 0)
        return true;
    const std::size_t pixelBytes = static_cast<std::size_t>(image->getBpp());
    const std::size_t rowBytes = pixelBytes * static_cast<std::size_t>(width);
    osg::UInt8* data = image->editData();
    // Column u of the result is column u + shift of the original: rotate each row left.
    for (int row = 0; row < image->getHeight(); ++row) {
        osg::UInt8* begin = data + rowBytes * static_cast<std::size_t>(row);
        std::rotate(begin, begin + pixelBytes * static_cast<std::size_t>(shift), begin + rowBytes);
    }
    osg::beginEditCP(image);
    osg::endEditCP(image);
    return true;
}

} // namespace envlights
