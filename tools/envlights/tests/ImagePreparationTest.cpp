// The column turn of the built-in sky and the non-finite filter, checked against the lat-long
// convention the lighting node pool documents: data pixel (u, v) of a W x H image shines along
// (sin(phi) sin(theta), cos(theta), cos(phi) sin(theta)), phi = 2 pi (1 - u/W) - pi/2,
// theta = pi v/H. Where the unturned sky's sun stands, the end-to-end test checks through the
// lights it gives.

#include "EnvironmentRotation.h"
#include "NonFinitePixels.h"
#include "ProceduralSky.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace envlights;

std::array<double, 3> shineDirection(double u, double v, double width, double height)
{
    const double pi = 3.14159265358979323846;
    const double phi = 2.0 * pi * (1.0 - u / width) - pi / 2.0;
    const double theta = pi * v / height;
    return {std::sin(phi) * std::sin(theta), std::cos(theta), std::cos(phi) * std::sin(theta)};
}

// Holds a new image for the length of a test.
struct HeldImage {
    explicit HeldImage(osg::ImagePtr p) : image(p) { osg::addRefCP(image); }
    ~HeldImage() { osg::subRefCP(image); }
    HeldImage(const HeldImage&) = delete;
    const float* pixel(int u, int dataRow) const
    {
        return reinterpret_cast<const float*>(image->getData()) +
               3 * (dataRow * image->getWidth() + u);
    }
    osg::ImagePtr image;
};

// Mean data position (pixel centres) of the pixels inside the sun disc.
std::array<double, 2> sunCentre(const HeldImage& held, const ProceduralSky& sky)
{
    double u = 0, v = 0;
    int count = 0;
    for (int row = 0; row < held.image->getHeight(); ++row)
        for (int x = 0; x < held.image->getWidth(); ++x)
            if (held.pixel(x, row)[0] == sky.settings().sunRadiance[0]) {
                u += x + 0.5;
                v += row + 0.5;
                ++count;
            }
    EXPECT_GT(count, 2);
    return {u / count, v / count};
}

TEST(ImagePreparationTest, RotationIsAColumnShiftCounterclockwiseSeenFromAbove)
{
    struct Row {
        double degrees;
        int width, shift;
    };
    const Row rows[] = {{0, 8, 0},    {90, 8, 2},   {-90, 8, 6},  {450, 8, 2},
                        {-720, 8, 0}, {22.5, 8, 1}, {22.4, 8, 0}, {359.9, 8, 0},
                        {180, 3, 2},  {-1e9, 8, 2}, {1, 1024, 3}, {0.1, 1, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(EnvironmentRotation(row.degrees).columnShift(row.width), row.shift)
            << row.degrees << " on " << row.width;

    // A sky turned by +90 degrees about +Y looks like one whose sun stands 90 degrees further
    // along (from front-left to back-left): its light then shines toward +X and -Z.
    osg::osgInit(0, nullptr);
    ProceduralSky::Settings settings{256, 128};
    const ProceduralSky sky(settings);
    settings.sunAzimuthDeg += 90.0f;
    const ProceduralSky expected(settings);
    const HeldImage turned(sky.createImage());
    ASSERT_TRUE(EnvironmentRotation(90).apply(turned.image));
    const auto [u, v] = sunCentre(turned, sky);
    const auto [uExpected, vExpected] = sunCentre(HeldImage(expected.createImage()), expected);
    EXPECT_NEAR(u, uExpected, 1.0);
    EXPECT_EQ(v, vExpected);
    const std::array<double, 3> shine = shineDirection(u, v, 256, 128);
    EXPECT_GT(shine[0], 0.4);
    EXPECT_LT(shine[2], -0.4);
}

TEST(ImagePreparationTest, NonFinitePixelsBecomeBlackAndAreCounted)
{
    osg::osgInit(0, nullptr);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float max = std::numeric_limits<float>::max();
    const float tiny = std::numeric_limits<float>::denorm_min();
    const std::array<float, 3> pixels[8] = {{1, 2, 3},       {nan, 2, 3},    {1, 2, inf},
                                            {0, -inf, 0},    {max, -max, 0}, {tiny, 0, -0.0f},
                                            {nan, nan, nan}, {-5, -6, -7}};
    const bool replaced[8] = {false, true, true, true, false, false, true, false};
    HeldImage held(osg::Image::create());
    held.image->set(osg::Image::OSG_RGB_PF, 4, 2, 1, 1, 1, 0.0,
                    reinterpret_cast<const osg::UInt8*>(pixels), osg::Image::OSG_FLOAT32_IMAGEDATA);
    EXPECT_EQ(NonFinitePixels::replaceWithZero(held.image), 4u);
    for (int i = 0; i < 8; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(held.pixel(i % 4, i / 4)[c], replaced[i] ? 0.0f : pixels[i][c])
                << "pixel " << i;
    EXPECT_EQ(NonFinitePixels::replaceWithZero(held.image), 0u) << "nothing left the second time";
}

} // namespace
