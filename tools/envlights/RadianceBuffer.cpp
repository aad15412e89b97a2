#include "RadianceBuffer.h"

namespace envlights {

bool RadianceBuffer::set(const osg::ImagePtr& image, std::string& error)
{
    _image = {};
    _widened.clear();
    if (image == osg::NullFC || image->getData() == nullptr || image->getWidth() < 1 ||
        image->getHeight() < 1) {
        error = "no image to read";
        return false;
    }
    const osg::Int32 type = image->getDataType();
    if (image->getPixelFormat() != osg::Image::OSG_RGB_PF || image->hasCompressedData() ||
        (type != osg::Image::OSG_FLOAT32_IMAGEDATA && type != osg::Image::OSG_UINT8_IMAGEDATA)) {
        error = "the physical method reads only RGB images of float or 8-bit data";
        return false;
    }
    _image.width = image->getWidth();
    _image.height = image->getHeight();
    _image.bottomRowFirst = true;
    if (type == osg::Image::OSG_FLOAT32_IMAGEDATA) {
        _image.rgb = reinterpret_cast<const float*>(image->getData());
        return true;
    }
    const std::size_t count = std::size_t(_image.width) * std::size_t(_image.height) * 3;
    const osg::UInt8* bytes = image->getData();
    _widened.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        _widened[i] = bytes[i] / 255.0f;
    _image.rgb = _widened.data();
    return true;
}

} // namespace envlights
