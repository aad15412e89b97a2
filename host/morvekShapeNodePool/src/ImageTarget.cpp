#include "ImageTarget.h"

#include <morvekShapeNodePool/ImageFile.h>

namespace Morvek {

ImageTarget::~ImageTarget()
{
    // A reader that failed after allocating leaves an image nobody holds.
    if (_image != osg::NullFC) {
        osg::addRefCP(_image);
        osg::subRefCP(_image);
    }
}

bool ImageTarget::checkSize(long long width, long long height, std::string& error) const
{
    if (width <= 0 || height <= 0) {
        error = _path + ": the image has no pixels (" + std::to_string(width) + " x " +
                std::to_string(height) + ")";
        return false;
    }
    const std::string size = " (" + std::to_string(width) + " x " + std::to_string(height);
    if (width > maxImageFileSide || height > maxImageFileSide) {
        error = _path + ": the image is larger than " + std::to_string(maxImageFileSide) +
                " pixels on a side" + size + ")";
        return false;
    }
    // Both sides are below 2^16 here, so the product cannot overflow.
    if (static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) >
        maxImageFilePixels) {
        error = _path + ": the image is too large to load" + size + " pixels, at most " +
                std::to_string(maxImageFilePixels) + ", 2 GiB as float RGB)";
        return false;
    }
    return true;
}

bool ImageTarget::allocate(int width, int height, osg::Int32 dataType, std::string& error)
{
    if (!checkSize(width, height, error))
        return false;
    osg::ImagePtr image = osg::Image::create();
    if (image == osg::NullFC) {
        error = _path + ": cannot create an image (OpenSG is not initialised)";
        return false;
    }
    osg::beginEditCP(image);
    const bool made =
        image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0, nullptr, dataType);
    osg::endEditCP(image);
    _image = image;
    if (!made) {
        error = _path + ": the image is too large to hold (" + std::to_string(width) + " x " +
                std::to_string(height) + ")";
        return false;
    }
    _width = width;
    _height = height;
    _rowBytes = std::size_t(width) * 3 *
                (dataType == osg::Image::OSG_FLOAT32_IMAGEDATA ? sizeof(float) : 1);
    return true;
}

unsigned char* ImageTarget::pictureRow(int row)
{
    return _image->getData() + _rowBytes * std::size_t(_height - 1 - row);
}

osg::ImagePtr ImageTarget::release()
{
    osg::ImagePtr image = _image;
    _image = osg::NullFC;
    return image;
}

} // namespace Morvek
