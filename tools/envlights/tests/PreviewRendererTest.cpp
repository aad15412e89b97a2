// The preview checked through what it shows: lights that stand exactly for an environment give
// the same picture as the environment, shadows fall away from the light in both, the measured
// difference follows the lights' power, and bad input gets one line instead of a picture.
// Environments and lights are made here from the lat-long convention RadianceImage documents.

#include "PreviewRenderer.h"

#include <stb_image.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using namespace envlights;
using Morvek::PhysicalLight;
using Vec3 = std::array<double, 3>;
using Rgb = std::array<int, 3>;

const double pi = 3.14159265358979323846;

struct Environment {
    int width = 0, height = 0;
    std::vector<float> rgb;

    Environment(int w, int h, std::array<float, 3> radiance = {0, 0, 0}) : width(w), height(h)
    {
        for (int i = 0; i < w * h; ++i)
            rgb.insert(rgb.end(), radiance.begin(), radiance.end());
    }
    Morvek::RadianceImage view() const { return {rgb.data(), width, height, false}; }
    float* pixel(int u, int v) { return &rgb[3 * (std::size_t(v) * width + u)]; }

    // Toward the centre of pixel (u, v), v from the top row.
    Vec3 direction(int u, int v) const
    {
        const double a = 2 * pi * (u + 0.5) / width, t = pi * (v + 0.5) / height;
        return {std::cos(a) * std::sin(t), std::cos(t), std::sin(a) * std::sin(t)};
    }
    double solidAngle(int v) const
    {
        return 2 * pi / width * (std::cos(pi * v / height) - std::cos(pi * (v + 1) / height));
    }
    // A light that delivers exactly what pixel (u, v) does, `scale` times over.
    PhysicalLight lightOf(int u, int v, double scale = 1.0) const
    {
        const Vec3 w = direction(u, v);
        const float* p = &rgb[3 * (std::size_t(v) * width + u)];
        PhysicalLight light;
        light.direction = {-w[0], -w[1], -w[2]};
        for (int c = 0; c < 3; ++c)
            light.irradiance[c] = scale * p[c] * solidAngle(v);
        return light;
    }
};

PreviewRenderer::Picture render(const Environment& environment,
                                const std::vector<PhysicalLight>& lights,
                                int panelWidth = PreviewRenderer::defaultPanelWidth,
                                int panelHeight = PreviewRenderer::defaultPanelHeight)
{
    PreviewRenderer::Picture picture;
    std::string error;
    EXPECT_TRUE(PreviewRenderer::render(environment.view(), lights, picture, error, panelWidth,
                                        panelHeight))
        << error;
    EXPECT_EQ(picture.width, 3 * panelWidth);
    EXPECT_EQ(picture.height, panelHeight);
    EXPECT_EQ(picture.rgb.size(), std::size_t(picture.width) * picture.height * 3);
    return picture;
}

enum Panel { reference = 0, lit = 1, difference = 2 };

// The colour at which world point p appears in `panel`.
Rgb colorAt(const PreviewRenderer::Picture& picture, Panel panel, const Vec3& p)
{
    const int panelWidth = picture.width / 3;
    double x = 0, y = 0;
    EXPECT_TRUE(PreviewRenderer::project(p, panelWidth, picture.height, x, y));
    const int px = int(std::floor(x)), py = int(std::floor(y));
    EXPECT_TRUE(px >= 0 && py >= 0 && px < panelWidth && py < picture.height) << x << ", " << y;
    if (px < 0 || py < 0 || px >= panelWidth || py >= picture.height)
        return {-1, -1, -1};
    const unsigned char* c =
        &picture.rgb[3 * (std::size_t(py) * picture.width + panel * panelWidth + px)];
    return {c[0], c[1], c[2]};
}

int brightness(const Rgb& c) { return c[0] + c[1] + c[2]; }

// Points on the sphere (centre (0, 1, 0), radius 1) facing the camera, one up, one down.
const Vec3 sphereUpper{0.0, 1.8, 0.6};  // normal (0, 0.8, 0.6)
const Vec3 sphereLower{0.0, 0.4, 0.8};  // normal (0, -0.6, 0.8)
const Vec3 sphereMiddle{0.0, 1.0, 1.0}; // normal +Z, toward the camera

TEST(PreviewRendererTest, ASunAndTheLightThatStandsForItCastTheSameShadowAwayFromTheSun)
{
    struct Row {
        const char* name;
        int width, height, u, v; // the sun's pixel
        int negativeU;           // a pixel of negative radiance beside it (counts as 0), or -1
    };
    for (const Row& row : {Row{"sun toward +X, pixel for pixel", 32, 16, 0, 5, -1},
                           Row{"sun toward -X, pixel for pixel", 32, 16, 15, 5, -1},
                           Row{"sun higher, toward +X and -Z", 32, 16, 30, 4, -1},
                           Row{"sun toward +X, box-filtered", 256, 128, 1, 43, 0},
                           Row{"sun toward -X, odd size, box-filtered", 301, 133, 149, 44, -1}}) {
        SCOPED_TRACE(row.name);
        Environment environment(row.width, row.height);
        std::copy_n(std::array<float, 3>{900, 800, 600}.data(), 3, environment.pixel(row.u, row.v));
        if (row.negativeU >= 0)
            std::fill_n(environment.pixel(row.negativeU, row.v), 3, -500.0f);
        const PreviewRenderer::Picture picture =
            render(environment, {environment.lightOf(row.u, row.v)});
        EXPECT_LT(picture.relativeDifference, 1e-6);

        // The sphere centre's shadow lies down the light's path from it; its mirror image about
        // the contact point is in the sun.
        const Vec3 w = environment.direction(row.u, row.v);
        ASSERT_GT(w[1], 0.3);
        const Vec3 shadow{-w[0] / w[1], 0.0, -w[2] / w[1]};
        const Vec3 sunny{-shadow[0], 0.0, -shadow[2]};
        for (Panel panel : {reference, lit}) {
            EXPECT_EQ(colorAt(picture, panel, shadow), (Rgb{0, 0, 0})) << "panel " << panel;
            EXPECT_GT(brightness(colorAt(picture, panel, sunny)), 200) << "panel " << panel;
        }
        for (const Vec3& p : {shadow, sunny, sphereUpper, sphereLower, sphereMiddle})
            EXPECT_EQ(colorAt(picture, reference, p), colorAt(picture, lit, p))
                << "one exposure for both panels";
    }
}

TEST(PreviewRendererTest, LightFromAboveLightsTheSphereTopAndLightFromBelowNothing)
{
    Environment environment(16, 8);
    environment.pixel(3, 0)[1] = 500; // near the zenith
    environment.pixel(9, 7)[1] = 500; // near the nadir: the ground hides it from everything
    {
        const PreviewRenderer::Picture picture = render(environment, {environment.lightOf(3, 0)});
        for (Panel panel : {reference, lit}) {
            EXPECT_GT(brightness(colorAt(picture, panel, sphereUpper)), 100) << panel;
            EXPECT_EQ(colorAt(picture, panel, sphereLower), (Rgb{0, 0, 0})) << panel;
        }
        EXPECT_LT(picture.relativeDifference, 1e-6);
    }
    {
        Environment below(16, 8);
        below.pixel(9, 7)[1] = 500;
        const PreviewRenderer::Picture picture = render(below, {below.lightOf(9, 7)}, 64, 48);
        EXPECT_EQ(picture.relativeDifference, 0.0) << "neither panel lit";
        for (const Vec3& p : {sphereUpper, sphereLower, sphereMiddle, Vec3{2.0, 0.0, 1.0}})
            EXPECT_EQ(colorAt(picture, lit, p), (Rgb{0, 0, 0}));
    }
}

// Directions spread evenly over the sphere (a Fibonacci lattice).
std::vector<Vec3> evenDirections(int count)
{
    std::vector<Vec3> out;
    for (int j = 0; j < count; ++j) {
        const double y = 1 - 2 * (j + 0.5) / count, r = std::sqrt(1 - y * y);
        const double a = j * pi * (3 - std::sqrt(5.0));
        out.push_back({r * std::cos(a), y, r * std::sin(a)});
    }
    return out;
}

TEST(PreviewRendererTest, AUniformEnvironmentAndEvenLightsThatDeliverItAgree)
{
    // Even lights of 4 pi L / N each deliver what the environment does to every surface; their
    // hard shadows blur into the environment's soft ones as N grows. No scale is fitted, so
    // lights a tenth short differ by about a tenth.
    const std::array<float, 3> radiance{0.5f, 1.0f, 2.0f};
    const Environment environment(48, 24, radiance);
    struct Row {
        const char* name;
        int count;
        double power; // times what the environment delivers
        double minDifference, maxDifference;
    };
    for (const Row& row :
         {Row{"100 lights", 100, 1.0, 0.008, 0.02}, Row{"400 lights", 400, 1.0, 0.0, 0.008},
          Row{"a tenth short", 400, 0.9, 0.095, 0.115}, Row{"double", 400, 2.0, 0.95, 1.1}}) {
        SCOPED_TRACE(row.name);
        std::vector<PhysicalLight> lights;
        for (const Vec3& d : evenDirections(row.count)) {
            PhysicalLight light;
            light.direction = d;
            for (int c = 0; c < 3; ++c)
                light.irradiance[c] = row.power * 4 * pi * radiance[c] / row.count;
            lights.push_back(light);
        }
        const PreviewRenderer::Picture picture = render(environment, lights, 120, 90);
        EXPECT_GE(picture.relativeDifference, row.minDifference);
        EXPECT_LE(picture.relativeDifference, row.maxDifference);
    }
}

TEST(PreviewRendererTest, TheDifferenceFollowsTheLightsPowerInNumberAndColour)
{
    Environment environment(32, 16);
    environment.pixel(5, 4)[0] = 700;
    environment.pixel(5, 4)[2] = 300;
    auto run = [&](double scale) {
        return render(environment, {environment.lightOf(5, 4, scale)});
    };
    const PreviewRenderer::Picture doubled = run(2.0), halved = run(0.5);
    // With the lights k times the reference everywhere, the difference is |k - 1| times
    // rms / mean of the reference, and rms is never below the mean.
    EXPECT_GE(doubled.relativeDifference, 1.0);
    EXPECT_NEAR(doubled.relativeDifference, 2.0 * halved.relativeDifference,
                1e-9 * doubled.relativeDifference);
    EXPECT_GT(brightness(colorAt(doubled, lit, sphereUpper)),
              brightness(colorAt(doubled, reference, sphereUpper)) + 20)
        << "both panels exposed alike, so the stronger lights show brighter";
    const Rgb more = colorAt(doubled, difference, sphereUpper);
    const Rgb less = colorAt(halved, difference, sphereUpper);
    EXPECT_GT(more[0], more[2] + 100) << "red where the lights give too much";
    EXPECT_GT(less[2], less[0] + 50) << "blue where they give too little";
    const Rgb same = colorAt(run(1.0), difference, sphereUpper);
    EXPECT_EQ(same, (Rgb{255, 255, 255})) << "white where they agree";
}

TEST(PreviewRendererTest, ABlackEnvironmentGivesFiniteNumbers)
{
    const Environment black(8, 4);
    EXPECT_EQ(render(black, {}, 80, 60).relativeDifference, 0.0);

    PhysicalLight sun;
    sun.direction = {0.0, -1.0, 0.0};
    sun.irradiance = {1.0, 1.0, 1.0};
    const PreviewRenderer::Picture picture = render(black, {sun}, 80, 60);
    EXPECT_TRUE(std::isfinite(picture.relativeDifference));
    EXPECT_GE(picture.relativeDifference, 1.0) << "lights where there is nothing to stand for";
    EXPECT_GT(brightness(colorAt(picture, lit, sphereUpper)), 300)
        << "exposed for the lights when the reference is black";
    EXPECT_EQ(colorAt(picture, reference, sphereUpper), (Rgb{0, 0, 0}));
}

TEST(PreviewRendererTest, ThePngIsThePictureAtTheDocumentedSize)
{
    Environment environment(16, 8, {0.2f, 0.3f, 0.4f});
    environment.pixel(3, 2)[0] = 300;
    const std::vector<PhysicalLight> lights{environment.lightOf(3, 2)};
    std::string png, error;
    ASSERT_TRUE(PreviewRenderer::renderPng(environment.view(), lights, png, error)) << error;
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> decoded(
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()), int(png.size()),
                              &width, &height, &channels, 3),
        &stbi_image_free);
    ASSERT_TRUE(decoded) << stbi_failure_reason();
    EXPECT_EQ(width, PreviewRenderer::panelCount * PreviewRenderer::defaultPanelWidth);
    EXPECT_EQ(height, PreviewRenderer::defaultPanelHeight);
    const PreviewRenderer::Picture picture = render(environment, lights);
    EXPECT_TRUE(std::equal(picture.rgb.begin(), picture.rgb.end(), decoded.get()))
        << "the PNG holds the same pixels, and rendering again gives them again";
}

TEST(PreviewRendererTest, BadInputGivesOneLineAndNoPicture)
{
    Environment good(8, 4, {1, 1, 1});
    Environment nonFinite(8, 4, {1, 1, 1});
    nonFinite.pixel(5, 2)[1] = std::numeric_limits<float>::quiet_NaN();
    PhysicalLight fine;
    fine.direction = {0, -1, 0};
    PhysicalLight infinite = fine;
    infinite.irradiance[2] = std::numeric_limits<double>::infinity();
    PhysicalLight pointless;
    struct Row {
        const char* name;
        Morvek::RadianceImage image;
        std::vector<PhysicalLight> lights;
        int panelWidth, panelHeight;
        const char* message;
    };
    const Row rows[] = {
        {"no data", {nullptr, 8, 4, false}, {}, 32, 24, "the environment has no pixels"},
        {"no columns", {good.rgb.data(), 0, 4, false}, {}, 32, 24, "the environment has no pixels"},
        {"NaN pixel",
         nonFinite.view(),
         {},
         32,
         24,
         "the environment has a non-finite value at column 5, row 2"},
        {"infinite light", good.view(), {fine, infinite}, 32, 24, "light 2 has a non-finite value"},
        {"light without direction", good.view(), {pointless}, 32, 24, "light 1 has no direction"},
        {"empty panel",
         good.view(),
         {},
         0,
         24,
         "a preview panel of 0 x 24 pixels is outside 1 to 4096 a side"},
        {"huge panel",
         good.view(),
         {},
         32,
         5000,
         "a preview panel of 32 x 5000 pixels is outside 1 to 4096 a side"},
    };
    for (const Row& row : rows) {
        PreviewRenderer::Picture picture;
        std::string error;
        EXPECT_FALSE(PreviewRenderer::render(row.image, row.lights, picture, error, row.panelWidth,
                                             row.panelHeight))
            << row.name;
        EXPECT_EQ(error, row.message) << row.name;
        EXPECT_TRUE(picture.rgb.empty()) << row.name;
    }
    std::string png = "stale", error;
    EXPECT_FALSE(PreviewRenderer::renderPng(nonFinite.view(), {}, png, error));
    EXPECT_TRUE(png.empty());
}

} // namespace
