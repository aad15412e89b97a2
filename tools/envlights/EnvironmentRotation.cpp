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

void EnvironmentRotation::apply(unsigned char* data, std::size_t pixelBytes, int width,
                                int height) const
{
    const int shift = columnShift(width);
    if (shift == 0)
        return;
    const std::size_t rowBytes = pixelBytes * static_cast<std::size_t>(width);
    // Column u of the result is column u + shift of the original: rotate each row left.
    for (int row = 0; row < height; ++row) {
        unsigned char* begin = data + rowBytes * static_cast<std::size_t>(row);
        std::rotate(begin, begin + pixelBytes * static_cast<std::size_t>(shift), begin + rowBytes);
    }
}

bool EnvironmentRotation::apply(osg::ImagePtr image) const
{
    if (image == osg::NullFC || image->getData() == nullptr || image->hasCompressedData() ||
        image->getWidth() < 1 || image->getHeight() < 1)
        return false;
    if (columnShift(image->getWidth()) == 0)
        return true;
    apply(image->editData(), static_cast<std::size_t>(image->getBpp()), image->getWidth(),
          image->getHeight());
    osg::beginEditCP(image);
    osg::endEditCP(image);
    return true;
}

} // namespace envlights
