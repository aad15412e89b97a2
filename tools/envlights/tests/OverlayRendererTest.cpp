// The overlay PNG decoded again with stb_image: its orientation, outlines and marks.

#include "DigitFont.h"
#include "OverlayRenderer.h"

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGImage.h>

#include <stb_image.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace {

using namespace envlights;

constexpr double kPi = 3.14159265358979323846;

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    std::array<int, 3> at(int x, int y) const
    {
        const unsigned char* p = &rgb[3 * (static_cast<std::size_t>(y) * width + x)];
        return {p[0], p[1], p[2]};
    }
};

Decoded decode(const std::string& png)
{
    Decoded out;
    int channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels(
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()), static_cast<int>(png.size()),
                              &out.width, &out.height, &channels, 3),
        &stbi_image_free);
    if (pixels)
        out.rgb.assign(pixels.get(), pixels.get() + 3 * out.width * out.height);
    return out;
}

// The lighting node pool's shine direction of data pixel (u, v) on a W x H lat-long image.
std::array<float, 3> shineDirection(int u, int v, int width, int height)
{
    const double phi = 2.0 * kPi * (1.0 - double(u) / width) - kPi / 2.0;
    const double theta = kPi * double(v) / height;
    return {static_cast<float>(std::sin(phi) * std::sin(theta)), static_cast<float>(std::cos(theta)),
            static_cast<float>(std::cos(phi) * std::sin(theta))};
}

class OverlayRendererTest : public ::testing::Test {
protected:
    void SetUp() override { osg::osgInit(0, nullptr); }
    void TearDown() override
    {
        for (osg::ImagePtr image : _images)
            osg::subRefCP(image);
    }
    osg::ImagePtr image(int width, int height, const void* data, osg::Int32 type)
    {
        osg::ImagePtr image = osg::Image::create();
        osg::addRefCP(image);
        _images.push_back(image);
        image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
                   static_cast<const osg::UInt8*>(data), type);
        return image;
    }
    std::vector<osg::ImagePtr> _images;
};

TEST_F(OverlayRendererTest, PictureTopRowAtTheTopAndSmallPicturesEnlarged)
{
    // 4 x 2 bytes: data row 0 (the picture's bottom) dark blue, data row 1 (top) orange.
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 4; ++i)
        bytes.insert(bytes.end(), {10, 20, 90});
    for (int i = 0; i < 4; ++i)
        bytes.insert(bytes.end(), {250, 160, 20});
    EnvironmentReport report;
    report.width = 4;
    report.height = 2;
    std::string png, error;
    ASSERT_TRUE(OverlayRenderer::renderPng(image(4, 2, bytes.data(), osg::Image::OSG_UINT8_IMAGEDATA),
                                           report, png, error))
        << error;
    const Decoded out = decode(png);
    ASSERT_EQ(out.width, 4 * 128) << "4 columns enlarged to at least 512";
    ASSERT_EQ(out.height, 2 * 128);
    EXPECT_EQ(out.at(10, 10), (std::array<int, 3>{250, 160, 20})) << "byte pictures are shown as stored";
    EXPECT_EQ(out.at(500, 250), (std::array<int, 3>{10, 20, 90}));

    const std::pair<int, int> scales[] = {{1, 512}, {2, 256}, {511, 2}, {512, 1}, {513, 1}, {4096, 1}, {3, 171}};
    for (const auto& [width, scale] : scales)
        EXPECT_EQ(OverlayRenderer::scaleFor(width), scale) << width;
}

TEST_F(OverlayRendererTest, LeavesOutlinedAndLightsMarkedWhereTheyComeFrom)
{
    // 1024 x 512 float picture of constant grey, tone-mapped to one constant colour.
    const int width = 1024;
    const int height = 512;
    std::vector<float> grey(static_cast<std::size_t>(width) * height * 3, 0.5f);
    EnvironmentReport report;
    report.width = width;
    report.height = height;
    report.leaves = {{0, 0, 512, 512}, {512, 0, 512, 256}, {512, 256, 512, 256}};
    ReportedLight light;
    light.region = report.leaves[1];
    // Comes from data pixel (700, 400), i.e. picture row 511 - 400 = 111.
    light.direction = shineDirection(700, 400, width, height);
    report.lights.push_back(light);

    std::string png, error;
    ASSERT_TRUE(OverlayRenderer::renderPng(image(width, height, grey.data(), osg::Image::OSG_FLOAT32_IMAGEDATA),
                                           report, png, error))
        << error;
    const Decoded out = decode(png);
    ASSERT_EQ(out.width, width);
    ASSERT_EQ(out.height, height);

    const std::array<int, 3> background = out.at(100, 300);
    EXPECT_EQ(background[0], background[1]) << "grey stays grey";
    EXPECT_GT(background[0], 100) << "log-average exposure brings grey to the middle";
    EXPECT_LT(background[0], 200);

    const std::array<int, 3> plainLeaf{150, 150, 150};
    const std::array<int, 3> lightLeaf{255, 210, 0};
    EXPECT_EQ(out.at(0, 300), plainLeaf) << "left edge of the left leaf";
    EXPECT_EQ(out.at(511, 400), plainLeaf) << "right edge of the left leaf";
    EXPECT_EQ(out.at(800, 0), lightLeaf) << "top edge of the light's leaf";
    EXPECT_EQ(out.at(800, 255), lightLeaf) << "bottom edge of the light's leaf";
    EXPECT_EQ(out.at(800, 400), background) << "inside the leaf without light";
    EXPECT_EQ(out.at(800, 511), plainLeaf) << "bottom edge of the lower right leaf";

    const std::array<int, 3> red{255, 40, 40};
    EXPECT_EQ(out.at(700, 111), red) << "the cross sits on the light's source pixel";
    EXPECT_EQ(out.at(704, 111), red);
    EXPECT_EQ(out.at(700, 107), red);
    EXPECT_EQ(out.at(705, 111), (std::array<int, 3>{0, 0, 0})) << "dark border around the cross";

    // The rank "1", drawn 2x in white below right of the cross: its glyph's set font pixels.
    int white = 0;
    for (int y = 111; y < 111 + 20; ++y)
        for (int x = 700; x < 700 + 20; ++x)
            white += out.at(x, y) == std::array<int, 3>{255, 255, 255};
    int fontPixels = 0;
    for (int y = 0; y < DigitFont::kGlyphHeight; ++y)
        for (int x = 0; x < DigitFont::kGlyphWidth; ++x)
            fontPixels += DigitFont::isSet('1', x, y);
    EXPECT_EQ(white, 4 * fontPixels);
}

TEST_F(OverlayRendererTest, MarksFollowTheDirectionAllAroundThePicture)
{
    const int width = 64;
    const int height = 32;
    std::vector<float> black(static_cast<std::size_t>(width) * height * 3, 0.0f);
    osg::ImagePtr picture = image(width, height, black.data(), osg::Image::OSG_FLOAT32_IMAGEDATA);
    const int scale = OverlayRenderer::scaleFor(width);
    struct Row {
        const char* name;
        int u, v;  // data pixel
    };
    const Row rows[] = {{"left edge", 0, 16},      {"right edge", 63, 16}, {"near the top", 10, 30},
                        {"near the bottom", 40, 1}, {"quarter", 16, 16},   {"three quarters", 48, 9}};
    for (const Row& row : rows) {
        EnvironmentReport report;
        report.width = width;
        report.height = height;
        ReportedLight light;
        light.direction = shineDirection(row.u, row.v, width, height);
        report.lights.push_back(light);
        std::string png, error;
        ASSERT_TRUE(OverlayRenderer::renderPng(picture, report, png, error)) << error;
        const Decoded out = decode(png);
        const int cx = row.u * scale + scale / 2;
        const int cy = (height - 1 - row.v) * scale + scale / 2;
        EXPECT_EQ(out.at(cx, cy), (std::array<int, 3>{255, 40, 40})) << row.name;
    }
}

TEST_F(OverlayRendererTest, RefusesWhatItCannotDraw)
{
    const unsigned short shorts[12] = {};
    std::string png, error;
    EXPECT_FALSE(OverlayRenderer::renderPng(image(2, 2, shorts, osg::Image::OSG_UINT16_IMAGEDATA),
                                            EnvironmentReport(), png, error));
    EXPECT_EQ(error, "the overlay draws only RGB or RGBA images of 8-bit or float data");
    EXPECT_FALSE(OverlayRenderer::renderPng(osg::NullFC, EnvironmentReport(), png, error));
    EXPECT_EQ(error, "no image to draw");
}

TEST(DigitFontTest, TenDistinctGlyphs)
{
    std::set<std::vector<bool>> glyphs;
    for (char digit = '0'; digit <= '9'; ++digit) {
        std::vector<bool> bitsOfGlyph;
        for (int y = 0; y < DigitFont::kGlyphHeight; ++y)
            for (int x = 0; x < DigitFont::kGlyphWidth; ++x)
                bitsOfGlyph.push_back(DigitFont::isSet(digit, x, y));
        glyphs.insert(bitsOfGlyph);
    }
    EXPECT_EQ(glyphs.size(), 10u);
    EXPECT_FALSE(DigitFont::isSet('x', 1, 1));
    EXPECT_FALSE(DigitFont::isSet('8', 3, 0));
    EXPECT_EQ(DigitFont::textWidth("128"), 11);
}

}  // namespace
