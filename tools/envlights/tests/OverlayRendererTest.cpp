// The overlay PNG decoded again with stb_image: orientation, enlargement, outlines, marks sized
// by power, labels that never overlap, and the legend.

#include "OverlayRenderer.h"
#include "DigitFont.h"

#include <OpenSG/OSGBaseFunctions.h>

#include <stb_image.h>

#include <gtest/gtest.h>

#include <algorithm>
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
               const EnvironmentReport& report, const OverlayRenderer::Content& content = {})
{
    osg::osgInit(0, nullptr);
    osg::ImagePtr image = osg::Image::create();
    osg::addRefCP(image);
    image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
               static_cast<const osg::UInt8*>(data), type);
    std::string png, error;
    EXPECT_TRUE(OverlayRenderer::renderPng(image, report, content, png, error)) << error;
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
    ASSERT_GT(out.height, 2 * 128) << "the legend below the picture";
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
    // The rank "1" in white, each font pixel 2 x 2, in the box the layout gave it.
    const OverlayRenderer::Layout layout = OverlayRenderer::layout(report, {}, width, height);
    ASSERT_TRUE(layout.labels[0].has_value());
    const LabelLayout::Box box = *layout.labels[0];
    EXPECT_GT(box.x0, 700) << "right of the mark";
    EXPECT_LT(std::hypot(box.x0 - 700, box.y0 - 111), 2.0 * OverlayRenderer::maxRadius)
        << "near the mark";
    int white = 0, fontPixels = 0;
    for (int y = box.y0; y <= box.y1; ++y)
        for (int x = box.x0; x <= box.x1; ++x)
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

// Many lights around the sun, as a bright HDRI gives: every rank gets a label of its own near
// its mark, and no two labels meet.
TEST(OverlayRendererTest, LabelsNeverOverlapNearTheSun)
{
    const int width = 1024, height = 512;
    const struct {
        const char* name;
        int lights, spread; // lights within `spread` pixels of the sun's pixel (700, 400)
        int imageWidth, imageHeight;
    } rows[] = {
        {"40 lights within 6 pixels", 40, 6, width, height},
        {"120 lights within 20 pixels", 120, 20, width, height},
        {"4096 lights on a small picture, some left out", 4096, 30, 64, 32},
    };
    for (const auto& row : rows) {
        EnvironmentReport report;
        for (int k = 0; k < row.lights; ++k) {
            const int u =
                row.imageWidth * 700 / width + (k * 7) % (2 * row.spread + 1) - row.spread;
            const int v =
                row.imageHeight * 400 / height + (k * 3) % (row.spread + 1) - row.spread / 2;
            report.lights.push_back({shineDirection(std::clamp(u, 0, row.imageWidth - 1),
                                                    std::clamp(v, 0, row.imageHeight - 1),
                                                    row.imageWidth, row.imageHeight),
                                     {},
                                     {}});
        }
        const OverlayRenderer::Layout layout =
            OverlayRenderer::layout(report, {}, row.imageWidth, row.imageHeight);
        ASSERT_EQ(layout.labels.size(), std::size_t(row.lights)) << row.name;
        const int canvasWidth = row.imageWidth * layout.scale;
        int placed = 0;
        for (int a = 0; a < row.lights; ++a) {
            if (!layout.labels[a])
                continue;
            ++placed;
            const LabelLayout::Box& box = *layout.labels[a];
            EXPECT_TRUE(box.x0 >= 0 && box.y0 >= 0 && box.x1 < canvasWidth &&
                        box.y1 < layout.pictureHeight)
                << row.name << ": label " << a + 1 << " leaves the picture";
            EXPECT_EQ(box.x1 - box.x0 + 1, layout.marks[a].width) << row.name;
            for (int b = a + 1; b < row.lights; ++b) {
                const bool meet = layout.labels[b] && box.intersects(*layout.labels[b]);
                EXPECT_FALSE(meet)
                    << row.name << ": labels " << a + 1 << " and " << b + 1 << " meet";
            }
        }
        if (row.lights <= 120) {
            EXPECT_EQ(placed, row.lights) << row.name;
            EXPECT_EQ(layout.legend.back(), "NUMBER: RANK") << row.name;
        } else {
            EXPECT_GT(placed, 10) << row.name;
            EXPECT_EQ(layout.legend.back(),
                      std::to_string(row.lights - placed) + " NUMBERS LEFT OUT FOR ROOM")
                << row.name;
        }
    }
    // Boxes that share only an edge row or column meet; those a pixel apart do not.
    const LabelLayout::Box box{10, 10, 19, 19};
    EXPECT_TRUE(box.intersects({19, 19, 30, 30}));
    EXPECT_TRUE(box.intersects({0, 0, 10, 10}));
    EXPECT_FALSE(box.intersects({20, 10, 30, 19}));
    EXPECT_FALSE(box.intersects({10, 0, 19, 9}));
}

// A circle's area follows its light's share of the power; the legend names method, n and what
// the outlines, circles and numbers mean.
TEST(OverlayRendererTest, MarksSizedByPowerAndALegendBelow)
{
    for (const auto& [share, radius] :
         {std::pair{1.0, 40}, {0.25, 20}, {0.0625, 10}, {0.01, 4}, {0.0, 3}, {-1.0, 3}, {2.0, 40}})
        EXPECT_EQ(OverlayRenderer::markRadius(share), radius) << share;
    EXPECT_EQ(OverlayRenderer::markRadius(std::nan("")), OverlayRenderer::minRadius);

    const int width = 1024, height = 512;
    const std::vector<float> black(std::size_t(width) * height * 3, 0.0f);
    EnvironmentReport report;
    report.leaves = {{0, 0, 512, 512}, {512, 0, 512, 512}, {0, 0, 1, 1}};
    report.lights.push_back({shineDirection(300, 256, width, height), {}, report.leaves[0]});
    report.lights.push_back({shineDirection(800, 256, width, height), {}, report.leaves[1]});
    const OverlayRenderer::Content physical{{0.8, 0.2}, "physical", "most powerful"};
    const Decoded out =
        render(width, height, black.data(), osg::Image::OSG_FLOAT32_IMAGEDATA, report, physical);
    const OverlayRenderer::Layout layout = OverlayRenderer::layout(report, physical, width, height);
    ASSERT_EQ(layout.marks.size(), 2u);
    EXPECT_EQ(layout.legend, (std::vector<std::string>{"PHYSICAL METHOD, N = 2",
                                                       "OUTLINE: REGION THAT MADE A LIGHT",
                                                       "OUTLINE: REGION WITHOUT A LIGHT",
                                                       "CIRCLE: LIGHT, AREA = SHARE OF POWER",
                                                       "NUMBER: RANK, 1 = MOST POWERFUL"}));
    for (std::size_t k = 0; k < 2; ++k) {
        const int x = layout.marks[k].x, y = layout.marks[k].y;
        const int radius = OverlayRenderer::markRadius(physical.shares[k]);
        EXPECT_EQ(layout.marks[k].radius, radius);
        SCOPED_TRACE("light " + std::to_string(k + 1) + ", radius " + std::to_string(radius));
        for (const int sign : {-1, 1}) {
            EXPECT_EQ(out.at(x + sign * radius, y), red);
            EXPECT_EQ(out.at(x, y - radius), red);
            EXPECT_EQ(out.at(x + sign * (radius - 3), y), (Rgb{0, 0, 0})) << "inside the ring";
            EXPECT_EQ(out.at(x + sign * (radius + 3), y), (Rgb{0, 0, 0})) << "outside the ring";
        }
    }
    // The legend's rows of text lie below the picture.
    const int legendRows = 5, rowHeight = (DigitFont::glyphHeight + 3) * 2;
    ASSERT_EQ(out.height, height + 2 * 8 + legendRows * rowHeight);
    for (int row = 0; row < legendRows; ++row) {
        int white = 0;
        for (int y = height + 8 + row * rowHeight; y < height + 8 + (row + 1) * rowHeight; ++y)
            for (int x = 0; x < width; ++x)
                white += out.at(x, y) == Rgb{255, 255, 255};
        EXPECT_GT(white, 100) << "legend row " << row;
    }

    const OverlayRenderer::Layout node =
        OverlayRenderer::layout(report, {{}, "node", "densest region"}, width, height);
    EXPECT_EQ(node.marks[0].radius, node.marks[1].radius) << "equal shares";
    EXPECT_EQ(node.marks[0].radius, OverlayRenderer::markRadius(0.5));
    EXPECT_EQ(node.legend[0], "NODE METHOD, N = 2");
    EXPECT_EQ(node.legend[3], "CIRCLE: LIGHT, ALL OF EQUAL SIZE");
    EXPECT_EQ(node.legend[4], "NUMBER: RANK, 1 = DENSEST REGION");
}

} // namespace
