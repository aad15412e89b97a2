// The built-in sky, the column turn and the non-finite filter, checked against the lat-long
// convention of the lighting node pool as documented there: the shine direction of data pixel
// (u, v) is (sin(phi) sin(theta), cos(theta), cos(phi) sin(theta)) with
// phi = 2 pi (1 - u/W) - pi/2 and theta = pi v/H, so a pixel is seen looking the opposite way.

#include "EnvironmentRotation.h"
#include "NonFinitePixels.h"
#include "ProceduralSky.h"

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGImage.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using envlights::EnvironmentRotation;
using envlights::NonFinitePixels;
using envlights::ProceduralSky;

constexpr double kPi = 3.14159265358979323846;

// Shine direction of data position (u, v), written out from the convention above.
std::array<double, 3> shineDirection(double u, double v, double width, double height)
{
    const double phi = 2.0 * kPi * (1.0 - u / width) - kPi / 2.0;
    const double theta = kPi * v / height;
    return {std::sin(phi) * std::sin(theta), std::cos(theta), std::cos(phi) * std::sin(theta)};
}

class ImagePreparationTest : public ::testing::Test {
protected:
    void SetUp() override { osg::osgInit(0, nullptr); }
    void TearDown() override
    {
        for (osg::ImagePtr image : _images)
            osg::subRefCP(image);
    }
    osg::ImagePtr keep(osg::ImagePtr image)
    {
        EXPECT_NE(image, osg::NullFC);
        osg::addRefCP(image);
        _images.push_back(image);
        return image;
    }
    osg::ImagePtr floatImage(int width, int height, const std::vector<float>& rgb)
    {
        osg::ImagePtr image = keep(osg::Image::create());
        osg::beginEditCP(image);
        image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
                   reinterpret_cast<const osg::UInt8*>(rgb.data()), osg::Image::OSG_FLOAT32_IMAGEDATA);
        osg::endEditCP(image);
        return image;
    }
    std::vector<osg::ImagePtr> _images;
};

const float* pixel(const osg::ImagePtr& image, int u, int dataRow)
{
    return reinterpret_cast<const float*>(image->getData()) + 3 * (dataRow * image->getWidth() + u);
}

// Mean data position of the pixels inside the sun disc.
void sunCentre(const osg::ImagePtr& image, const ProceduralSky& sky, double& u, double& v, int& count)
{
    u = v = 0.0;
    count = 0;
    for (int row = 0; row < image->getHeight(); ++row)
        for (int x = 0; x < image->getWidth(); ++x)
            if (pixel(image, x, row)[0] == sky.settings().sunRadiance[0]) {
                u += x + 0.5;
                v += row + 0.5;
                ++count;
            }
    if (count) {
        u /= count;
        v /= count;
    }
}

TEST_F(ImagePreparationTest, SkySunSitsWhereItsDocumentedLightShinesFrom)
{
    const ProceduralSky sky;
    osg::ImagePtr image = keep(sky.createImage());
    ASSERT_EQ(image->getWidth(), 1024);
    ASSERT_EQ(image->getHeight(), 512);
    ASSERT_EQ(image->getDataType(), static_cast<osg::Int32>(osg::Image::OSG_FLOAT32_IMAGEDATA));

    double u = 0;
    double v = 0;
    int count = 0;
    sunCentre(image, sky, u, v, count);
    ASSERT_GT(count, 20) << "a 2 degree disc covers dozens of pixels at 1024 x 512";
    // The documented light: shining along (0.5417, -0.6428, 0.5417), i.e. from 40 degrees up.
    const std::array<double, 3> shine = shineDirection(u, v, 1024, 512);
    EXPECT_NEAR(shine[0], 0.5417, 0.01);
    EXPECT_NEAR(shine[1], -0.6428, 0.01);
    EXPECT_NEAR(shine[2], 0.5417, 0.01);
    // High in the picture: above the middle data row, since data row 0 is the picture's bottom.
    EXPECT_GT(v, 256.0);

    // The bottom data row is ground, darker than the sky at the top data row.
    const float* ground = pixel(image, 100, 0);
    const float* zenith = pixel(image, 100, 511);
    EXPECT_LT(ground[2], zenith[2]);
    EXPECT_NEAR(ground[0], sky.settings().ground[0] * 0.5f, 0.01f) << "nadir: half as bright";
}

TEST_F(ImagePreparationTest, SkyPixelDirectionsLookOppositeToTheirShine)
{
    const ProceduralSky sky(ProceduralSky::Settings{64, 32});
    struct Row {
        const char* name;
        int u;
        int pictureRow;
    };
    const Row rows[] = {{"left edge, middle", 0, 15},  {"quarter, middle", 16, 16},
                        {"half, upper", 32, 3},       {"three quarters, lower", 48, 28},
                        {"right edge, top", 63, 0},   {"odd spot", 21, 9}};
    for (const Row& row : rows) {
        const std::array<float, 3> look = sky.pixelDirection(row.u, row.pictureRow);
        const int dataRow = 32 - 1 - row.pictureRow;
        const std::array<double, 3> shine = shineDirection(row.u + 0.5, dataRow + 0.5, 64, 32);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(look[c], -shine[c], 1e-5) << row.name << " component " << c;
    }
}

TEST_F(ImagePreparationTest, RotationShiftsWholeColumns)
{
    struct Row {
        double degrees;
        int width;
        int shift;
    };
    const Row rows[] = {{0, 8, 0},     {90, 8, 2},   {-90, 8, 6},  {360, 8, 0},      {450, 8, 2},
                        {-720, 8, 0},  {45, 8, 1},   {22.5, 8, 1}, {22.4, 8, 0},     {1, 1024, 3},
                        {359.9, 8, 0}, {180, 3, 2},  {-1e9, 8, 2}, {0.1, 1, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(EnvironmentRotation(row.degrees).columnShift(row.width), row.shift)
            << row.degrees << " degrees on " << row.width << " columns";

    // 4 x 2 bytes: each pixel (column, row, 7).
    std::vector<osg::UInt8> bytes;
    for (int row = 0; row < 2; ++row)
        for (int u = 0; u < 4; ++u)
            bytes.insert(bytes.end(), {static_cast<osg::UInt8>(u), static_cast<osg::UInt8>(row), 7});
    osg::ImagePtr image = keep(osg::Image::create());
    image->set(osg::Image::OSG_RGB_PF, 4, 2, 1, 1, 1, 0.0, bytes.data());
    ASSERT_TRUE(EnvironmentRotation(90).apply(image));
    for (int row = 0; row < 2; ++row)
        for (int u = 0; u < 4; ++u) {
            const osg::UInt8* p = image->getData() + 3 * (row * 4 + u);
            EXPECT_EQ(p[0], (u + 1) % 4) << "column " << u << " row " << row;
            EXPECT_EQ(p[1], row);
            EXPECT_EQ(p[2], 7);
        }
}

TEST_F(ImagePreparationTest, RotationTurnsCounterclockwiseSeenFromAbove)
{
    // Turning the sky by +90 degrees about +Y must look like a sky whose sun stands 90 degrees
    // further along its azimuth: from front-left (-X, -Z) to back-left (-X, +Z).
    ProceduralSky::Settings settings{256, 128};
    const ProceduralSky sky(settings);
    settings.sunAzimuthDeg += 90.0f;
    const ProceduralSky turned(settings);

    osg::ImagePtr image = keep(sky.createImage());
    ASSERT_TRUE(EnvironmentRotation(90).apply(image));
    double u = 0, v = 0, uExpected = 0, vExpected = 0;
    int count = 0, countExpected = 0;
    sunCentre(image, sky, u, v, count);
    sunCentre(keep(turned.createImage()), turned, uExpected, vExpected, countExpected);
    ASSERT_GT(count, 0);
    EXPECT_NEAR(u, uExpected, 1.0);
    EXPECT_NEAR(v, vExpected, 1e-9);
    // The rotated sun's light now shines toward +X and -Z.
    const std::array<double, 3> shine = shineDirection(u, v, 256, 128);
    EXPECT_GT(shine[0], 0.4);
    EXPECT_LT(shine[2], -0.4);
}

TEST_F(ImagePreparationTest, NonFinitePixelsBecomeBlackAndAreCounted)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float denormal = std::numeric_limits<float>::denorm_min();
    const float huge = std::numeric_limits<float>::max();
    struct Row {
        const char* name;
        std::array<float, 3> in;
        bool replaced;
    };
    const Row rows[] = {
        {"ordinary", {1, 2, 3}, false},     {"NaN in red", {nan, 2, 3}, true},
        {"inf in blue", {1, 2, inf}, true}, {"minus inf in green", {0, -inf, 0}, true},
        {"all NaN", {nan, nan, nan}, true}, {"largest float", {huge, -huge, 0}, false},
        {"denormal", {denormal, 0, -0.0f}, false}, {"negative", {-5, -6, -7}, false},
    };
    std::vector<float> rgb;
    for (const Row& row : rows)
        rgb.insert(rgb.end(), row.in.begin(), row.in.end());
    osg::ImagePtr image = floatImage(4, 2, rgb);

    EXPECT_EQ(NonFinitePixels::replaceWithZero(image), 4u);
    for (int i = 0; i < 8; ++i)
        for (int c = 0; c < 3; ++c) {
            const float out = pixel(image, i % 4, i / 4)[c];
            if (rows[i].replaced)
                EXPECT_EQ(out, 0.0f) << rows[i].name;
            else
                EXPECT_EQ(out, rows[i].in[c]) << rows[i].name;
        }
    EXPECT_EQ(NonFinitePixels::replaceWithZero(image), 0u) << "nothing left the second time";

    const osg::UInt8 bytes[12] = {255, 255, 255, 0, 0, 0, 1, 2, 3, 4, 5, 6};
    osg::ImagePtr byteImage = keep(osg::Image::create());
    byteImage->set(osg::Image::OSG_RGB_PF, 2, 2, 1, 1, 1, 0.0, bytes);
    EXPECT_EQ(NonFinitePixels::replaceWithZero(byteImage), 0u);
    EXPECT_EQ(byteImage->getData()[0], 255);
}

}  // namespace
