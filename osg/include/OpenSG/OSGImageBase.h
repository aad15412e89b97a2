#pragma once

#include <OpenSG/OSGAttachmentContainer.h>
#include <OpenSG/OSGImageFields.h>
#include <OpenSG/OSGMFSysTypes.h>

#include <string>

OSG_BEGIN_NAMESPACE

// Generated part of Image. Sizes and formats are read-only here: Image::set computes them
// together with the pixel store.
class ImageBase : public AttachmentContainer {
    typedef AttachmentContainer Inherited;

public:
    static constexpr UInt32 ParentsFieldId = Inherited::NextFieldId;
    static constexpr BitVector ParentsFieldMask = maskOf(ParentsFieldId);
    static constexpr UInt32 DimensionFieldId = ParentsFieldId + 1;
    static constexpr BitVector DimensionFieldMask = maskOf(DimensionFieldId);
    static constexpr UInt32 WidthFieldId = DimensionFieldId + 1;
    static constexpr BitVector WidthFieldMask = maskOf(WidthFieldId);
    static constexpr UInt32 HeightFieldId = WidthFieldId + 1;
    static constexpr BitVector HeightFieldMask = maskOf(HeightFieldId);
    static constexpr UInt32 DepthFieldId = HeightFieldId + 1;
    static constexpr BitVector DepthFieldMask = maskOf(DepthFieldId);
    static constexpr UInt32 BppFieldId = DepthFieldId + 1;
    static constexpr BitVector BppFieldMask = maskOf(BppFieldId);
    static constexpr UInt32 MipMapCountFieldId = BppFieldId + 1;
    static constexpr BitVector MipMapCountFieldMask = maskOf(MipMapCountFieldId);
    static constexpr UInt32 FrameCountFieldId = MipMapCountFieldId + 1;
    static constexpr BitVector FrameCountFieldMask = maskOf(FrameCountFieldId);
    static constexpr UInt32 FrameDelayFieldId = FrameCountFieldId + 1;
    static constexpr BitVector FrameDelayFieldMask = maskOf(FrameDelayFieldId);
    static constexpr UInt32 PixelFormatFieldId = FrameDelayFieldId + 1;
    static constexpr BitVector PixelFormatFieldMask = maskOf(PixelFormatFieldId);
    static constexpr UInt32 PixelFieldId = PixelFormatFieldId + 1;
    static constexpr BitVector PixelFieldMask = maskOf(PixelFieldId);
    static constexpr UInt32 FrameSizeFieldId = PixelFieldId + 1;
    static constexpr BitVector FrameSizeFieldMask = maskOf(FrameSizeFieldId);
    static constexpr UInt32 NameFieldId = FrameSizeFieldId + 1;
    static constexpr BitVector NameFieldMask = maskOf(NameFieldId);
    static constexpr UInt32 DataTypeFieldId = NameFieldId + 1;
    static constexpr BitVector DataTypeFieldMask = maskOf(DataTypeFieldId);
    static constexpr UInt32 ComponentSizeFieldId = DataTypeFieldId + 1;
    static constexpr BitVector ComponentSizeFieldMask = maskOf(ComponentSizeFieldId);
    static constexpr UInt32 SideCountFieldId = ComponentSizeFieldId + 1;
    static constexpr BitVector SideCountFieldMask = maskOf(SideCountFieldId);
    static constexpr UInt32 SideSizeFieldId = SideCountFieldId + 1;
    static constexpr BitVector SideSizeFieldMask = maskOf(SideSizeFieldId);
    static constexpr UInt32 NextFieldId = SideSizeFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new, empty image (count 0), or NullFC before osgInit.
    static ImagePtr create();

    // Containers (texture chunks) that use the image; no references held.
    const MField<FieldContainerPtr>& getParents() const { return _parents; }
    // 1, 2 or 3; 0 for an empty image.
    const Int32& getDimension() const { return _dimension; }
    // Pixels; defaults 0, 1, 1. Signed 32-bit.
    const Int32& getWidth() const { return _width; }
    const Int32& getHeight() const { return _height; }
    const Int32& getDepth() const { return _depth; }
    // Bytes per pixel (components x component size); default 1.
    const UInt8& getBpp() const { return _bpp; }
    // Defaults 1.
    const Int32& getMipMapCount() const { return _mipMapCount; }
    const Int32& getFrameCount() const { return _frameCount; }
    const Int32& getSideCount() const { return _sideCount; }
    // Seconds between frames; default 0.
    const Time& getFrameDelay() const { return _frameDelay; }
    // Image::PixelFormat (a GL enum); default OSG_INVALID_PF (0).
    const UInt32& getPixelFormat() const { return _pixelFormat; }
    // Image::Type (a GL enum); default OSG_UINT8_IMAGEDATA.
    const Int32& getDataType() const { return _dataType; }
    // Bytes per component; default 1.
    const Int32& getComponentSize() const { return _componentSize; }
    // Bytes of one frame (all its mipmap levels) and of one side (all its frames).
    const UInt64& getFrameSize() const { return _frameSize; }
    const UInt64& getSideSize() const { return _sideSize; }
    // The pixel store.
    const MFUInt8& getPixel() const { return _pixel; }
    const std::string& getName() const { return _name; }
    void setName(const std::string& value) { _name = value; }

protected:
    ImageBase();
    // Parents are not copied.
    ImageBase(const ImageBase& source);
    ~ImageBase() override = default;

    MField<FieldContainerPtr> _parents;
    Int32 _dimension = 0;
    Int32 _width = 0;
    Int32 _height = 1;
    Int32 _depth = 1;
    UInt8 _bpp = 1;
    Int32 _mipMapCount = 1;
    Int32 _frameCount = 1;
    Time _frameDelay = 0.0;
    UInt32 _pixelFormat = 0;
    MFUInt8 _pixel;
    UInt64 _frameSize = 0;
    std::string _name;
    Int32 _dataType;
    Int32 _componentSize = 1;
    Int32 _sideCount = 1;
    UInt64 _sideSize = 0;

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
