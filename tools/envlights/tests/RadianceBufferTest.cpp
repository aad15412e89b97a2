// How an OpenSG image reaches the physical extraction: picture row 0 is the top row whatever
// the data type, bytes become byte / 255, and formats it cannot read are refused.

#include "RadianceBuffer.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <gtest/gtest.h>

namespace {

using envlights::RadianceBuffer;

// A new image of `data` (data row 0 first, as OpenSG keeps them) held for a test.
struct HeldImage {
    HeldImage(osg::UInt32 format, int width, int height, const void* data, osg::Int32 type)
    {
        osg::osgInit(0, nullptr);
        image = osg::Image::create();
        osg::addRefCP(image);
        image->set(format, width, height, 1, 1, 1, 0.0, static_cast<const osg::UInt8*>(data), type);
    }
    ~HeldImage() { osg::subRefCP(image); }
    HeldImage(const HeldImage&) = delete;
    osg::ImagePtr image;
};

TEST(RadianceBufferTest, PictureRowsFromTheTopForFloatAndByteImages)
{
    // 2 x 2: the bottom row (data row 0) is red then green, the top row blue then grey.
    const float floats[12] = {1.5f, 0, 0, 0, 2.5f, 0, 0, 0, 3.5f, 0.25f, 0.25f, 0.25f};
    const osg::UInt8 bytes[12] = {255, 0, 0, 0, 128, 0, 0, 0, 51, 1, 1, 1};
    const HeldImage floatImage(osg::Image::OSG_RGB_PF, 2, 2, floats,
                               osg::Image::OSG_FLOAT32_IMAGEDATA);
    const HeldImage byteImage(osg::Image::OSG_RGB_PF, 2, 2, bytes, osg::Image::OSG_UINT8_IMAGEDATA);
    const struct {
        const char* name;
        const HeldImage& held;
        float top[6], bottom[6];
    } rows[] = {
        {"float", floatImage, {0, 0, 3.5f, 0.25f, 0.25f, 0.25f}, {1.5f, 0, 0, 0, 2.5f, 0}},
        {"bytes",
         byteImage,
         {0, 0, 0.2f, 1 / 255.0f, 1 / 255.0f, 1 / 255.0f},
         {1, 0, 0, 0, 128 / 255.0f, 0}},
    };
    for (const auto& row : rows) {
        RadianceBuffer buffer;
        std::string error;
        ASSERT_TRUE(buffer.set(row.held.image, error)) << row.name << ": " << error;
        const Morvek::RadianceImage& view = buffer.image();
        EXPECT_EQ(view.width, 2) << row.name;
        EXPECT_EQ(view.height, 2) << row.name;
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(view.row(0)[c], row.top[c]) << row.name << ", top row, " << c;
            EXPECT_EQ(view.row(1)[c], row.bottom[c]) << row.name << ", bottom row, " << c;
        }
    }
}

TEST(RadianceBufferTest, OtherFormatsAreRefused)
{
    const float rgba[16] = {};
    const HeldImage withAlpha(osg::Image::OSG_RGBA_PF, 2, 2, rgba,
                              osg::Image::OSG_FLOAT32_IMAGEDATA);
    const HeldImage grey(osg::Image::OSG_L_PF, 4, 2, rgba, osg::Image::OSG_FLOAT32_IMAGEDATA);
    for (const HeldImage* held : {&withAlpha, &grey}) {
        RadianceBuffer buffer;
        std::string error;
        EXPECT_FALSE(buffer.set(held->image, error));
        EXPECT_EQ(error, "the physical method reads only RGB images of float or 8-bit data");
        EXPECT_EQ(buffer.image().rgb, nullptr);
    }
    RadianceBuffer buffer;
    std::string error;
    EXPECT_FALSE(buffer.set(osg::NullFC, error));
    EXPECT_EQ(error, "no image to read");
}

} // namespace
