// The preparation of a float view must give the pixels the preparation of an OpenSG image gives
// (the same turn, the same zeroed pixels, the same lines), while never writing the caller's
// pixels and copying them only when something changes.

#include "EnvironmentPreparation.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using envlights::EnvironmentPreparation;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// 4 x 2, rows one after another; pixel (u, row) holds (10 row + u, -u, 0.5).
std::vector<float> ramp()
{
    std::vector<float> rgb;
    for (int row = 0; row < 2; ++row)
        for (int u = 0; u < 4; ++u)
            rgb.insert(rgb.end(), {10.0f * row + u, -1.0f * u, 0.5f});
    return rgb;
}

// A new OpenSG image of `rgb` held for a test.
struct HeldImage {
    HeldImage(const std::vector<float>& rgb, int width, int height)
    {
        osg::osgInit(0, nullptr);
        image = osg::Image::create();
        osg::addRefCP(image);
        image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
                   reinterpret_cast<const osg::UInt8*>(rgb.data()),
                   osg::Image::OSG_FLOAT32_IMAGEDATA);
    }
    ~HeldImage() { osg::subRefCP(image); }
    HeldImage(const HeldImage&) = delete;
    std::vector<float> pixels() const
    {
        const auto* begin = reinterpret_cast<const float*>(image->getData());
        return {begin, begin + 3 * image->getWidth() * image->getHeight()};
    }
    osg::ImagePtr image;
};

std::vector<float> viewPixels(const Morvek::RadianceImage& view)
{
    return {view.rgb, view.rgb + 3 * view.width * view.height};
}

// Compares as bits, so that a NaN left behind or a -0 for 0 would show.
void expectSameBits(const std::vector<float>& got, const std::vector<float>& expected,
                    const char* row)
{
    ASSERT_EQ(got.size(), expected.size()) << row;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(std::memcmp(&got[i], &expected[i], sizeof(float)), 0)
            << row << ": value " << i << " is " << got[i] << ", expected " << expected[i];
}

TEST(EnvironmentPreparationTest, AViewIsPreparedAsTheToolPreparesAnImageAndCopiedOnlyToChange)
{
    struct Row {
        const char* name;
        double rotateDeg;
        std::vector<std::size_t> badValues; // indices set to NaN or infinity
        bool copied;
        const char* warning;
    };
    const Row rows[] = {
        {"untouched", 0.0, {}, false, ""},
        {"a whole turn", 360.0, {}, false, ""},
        {"less than half a column", 40.0, {}, false, ""},
        {"a quarter turn", 90.0, {}, true, ""},
        {"a turn clockwise", -90.0, {}, true, ""},
        {"one NaN",
         0.0,
         {4},
         true,
         "sky: 1 pixel was not finite (NaN or infinity) and was set to 0"},
        {"two bad pixels, turned",
         180.0,
         {0, 2, 23},
         true,
         "sky: 2 pixels were not finite (NaN or infinity) and were set to 0"},
    };
    for (const Row& row : rows) {
        std::vector<float> rgb = ramp();
        for (std::size_t k = 0; k < row.badValues.size(); ++k)
            rgb[row.badValues[k]] = k % 2 ? inf : nan;
        const std::vector<float> original = rgb;
        for (const bool bottomRowFirst : {false, true}) {
            HeldImage held(rgb, 4, 2);
            std::string imageWarning, error;
            ASSERT_TRUE(EnvironmentPreparation::prepare(held.image, "sky", row.rotateDeg,
                                                        imageWarning, error))
                << row.name << ": " << error;

            EnvironmentPreparation preparation;
            const Morvek::RadianceImage view{rgb.data(), 4, 2, bottomRowFirst};
            std::string warning;
            ASSERT_TRUE(preparation.prepare(view, "sky", row.rotateDeg, warning, error))
                << row.name << ": " << error;
            expectSameBits(viewPixels(preparation.image()), held.pixels(), row.name);
            EXPECT_EQ(preparation.image().bottomRowFirst, bottomRowFirst) << row.name;
            EXPECT_EQ(preparation.image().rgb != rgb.data(), row.copied) << row.name;
            EXPECT_EQ(warning, row.warning) << row.name;
            EXPECT_EQ(imageWarning, row.warning) << row.name;
            expectSameBits(rgb, original, row.name); // the caller's pixels stay as they were
        }
    }
}

} // namespace
