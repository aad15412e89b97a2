// The overlay PNG decoded again with stb_image: orientation, enlargement, outlines and marks.

#include "OverlayRenderer.h"
#include "DigitFont.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <stb_image.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace envlights;
using Rgb = std::array<int, 3>;

const Rgb red{255, 40, 40};

struct Decoded {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    Rgb at(int x, int y) const
    {
        const unsigned char* p = &rgb[3 * (std::size_t(y) * width + x)];
        return {p[0], p[1], p[2]};
    }
};

// Draws `report` over a width x height image of `data` and decodes the PNG.
Decoded render(int width, int height, const void* data, osg::Int32 type,
               const EnvironmentReport& report)
{
    osg::osgInit(0, nullptr);
    osg::ImagePtr image = osg::Image::create();
    osg::addRefCP(image);
    image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
               static_cast<const osg::UInt8*>(data), type);
    std::string png, error;
    EXPECT_TRUE(OverlayRenderer::renderPng(image, report, png, error)) << error;
    osg::subRefCP(image);
    Decoded out;
    int channels = 0;
    unsigned char* pixels =
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()), int(png.size()),
                              &out.width, &out.height, &channels, 3);
    if (pixels)
        out.rgb.assign(pixels, pixels + 3 * out.width * out.height);
    stbi_image_free(pixels);
    return out;
}

// The lighting node pool's shine direction of data pixel (u, v).
std::array<float, 3> shineDirection(int u, int v, int width, int height)
{
    const double pi = 3.14159265358979323846;
    const double phi = 2.0 * pi * (1.0 - double(u) / width) - pi / 2.0, theta = pi * v / height;
    return {float(std::sin(phi) * std::sin(theta)), float(std::cos(theta)),
            float(std::cos(phi) * std::sin(theta))};
}

TEST(OverlayRendererTest, TopRowAtTheTopAndSmallPicturesEnlarged)
{
    // 4 x 2 bytes: data row 0 (the picture's bottom) blue, data row 1 orange.
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 8; ++i)
        bytes.insert(bytes.end(), {static_cast<unsigned char>(i < 4 ? 10 : 250), 20, 90});
    const Decoded out = render(4, 2, bytes.data(), osg::Image::OSG_UINT8_IMAGEDATA, {});
    ASSERT_EQ(out.width, 4 * 128) << "enlarged to at least 512 columns";
    ASSERT_EQ(out.height, 2 * 128);
    EXPECT_EQ(out.at(10, 10), (Rgb{250, 20, 90})) << "byte pictures are shown as stored";
    EXPECT_EQ(out.at(500, 250), (Rgb{10, 20, 90}));
    for (const auto& [width, scale] : {std::pair{1, 512}, {3, 171}, {511, 2}, {512, 1}, {4096, 1}})
        EXPECT_EQ(OverlayRenderer::scaleFor(width), scale) << width;
}

TEST(OverlayRendererTest, LeavesOutlinedAndLightsMarkedWhereTheyComeFrom)
{
    const int width = 1024, height = 512;
    const std::vector<float> grey(std::size_t(width) * height * 3, 0.5f);
    EnvironmentReport report;
    report.leaves = {{0, 0, 512, 512}, {512, 0, 512, 256}, {512, 256, 512, 256}};
    report.lights.push_back(
        {shineDirection(700, 400, width, height), {}, report.leaves[1]}); // picture row 111
    const Decoded out =
        render(width, height, grey.data(), osg::Image::OSG_FLOAT32_IMAGEDATA, report);
    ASSERT_EQ(out.width, width);

    const Rgb background = out.at(100, 300), leaf{150, 150, 150}, lightLeaf{255, 210, 0};
    EXPECT_TRUE(background[0] == background[2] && background[0] > 100 && background[0] < 200)
        << "log-average exposure brings grey to the middle: " << background[0];
    EXPECT_EQ(out.at(0, 300), leaf);
    EXPECT_EQ(out.at(511, 400), leaf);
    EXPECT_EQ(out.at(800, 0), lightLeaf);
    EXPECT_EQ(out.at(800, 255), lightLeaf);
    EXPECT_EQ(out.at(800, 511), leaf);
    EXPECT_EQ(out.at(800, 400), background);
    for (const auto& [x, y] : {std::pair{700, 111}, {704, 111}, {700, 107}})
        EXPECT_EQ(out.at(x, y), red) << "cross at " << x << ", " << y;
    EXPECT_EQ(out.at(705, 111), (Rgb{0, 0, 0})) << "dark border around the cross";
    // The rank "1" in white, each font pixel 2 x 2, below right of the cross.
    int white = 0, fontPixels = 0;
    for (int y = 111; y < 131; ++y)
        for (int x = 700; x < 720; ++x)
            white += out.at(x, y) == Rgb{255, 255, 255};
    for (int i = 0; i < DigitFont::glyphWidth * DigitFont::glyphHeight; ++i)
        fontPixels += DigitFont::isSet('1', i % DigitFont::glyphWidth, i / DigitFont::glyphWidth);
    EXPECT_EQ(white, 4 * fontPixels);
}

TEST(OverlayRendererTest, MarksFollowTheDirectionAllAroundThePicture)
{
    const int width = 64, height = 32, scale = OverlayRenderer::scaleFor(width);
    const std::vector<float> black(std::size_t(width) * height * 3, 0.0f);
    for (const auto& [u, v] : {std::pair{0, 16}, {63, 16}, {10, 30}, {40, 1}, {16, 16}, {48, 9}}) {
        EnvironmentReport report;
        report.lights.push_back({shineDirection(u, v, width, height), {}, {}});
        const Decoded out =
            render(width, height, black.data(), osg::Image::OSG_FLOAT32_IMAGEDATA, report);
        EXPECT_EQ(out.at(u * scale + scale / 2, (height - 1 - v) * scale + scale / 2), red)
            << u << ", " << v;
    }
}

} // namespace
