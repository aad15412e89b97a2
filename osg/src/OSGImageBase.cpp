#include <OpenSG/OSGImageBase.h>

#include <OpenSG/OSGImage.h>

OSG_BEGIN_NAMESPACE

FieldContainerType ImageBase::_type("Image", "AttachmentContainer", &Image::createPrototype);

ImagePtr ImageBase::create() { return ImagePtr::dcast(_type.createFieldContainer()); }

ImageBase::ImageBase() : _dataType(Image::OSG_UINT8_IMAGEDATA) {}

ImageBase::ImageBase(const ImageBase& source)
    : AttachmentContainer(source), _dimension(source._dimension), _width(source._width),
      _height(source._height), _depth(source._depth), _bpp(source._bpp),
      _mipMapCount(source._mipMapCount), _frameCount(source._frameCount),
      _frameDelay(source._frameDelay), _pixelFormat(source._pixelFormat), _pixel(source._pixel),
      _frameSize(source._frameSize), _name(source._name), _dataType(source._dataType),
      _componentSize(source._componentSize), _sideCount(source._sideCount),
      _sideSize(source._sideSize)
{
}

OSG_END_NAMESPACE
