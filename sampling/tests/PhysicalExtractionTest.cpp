#include <morvekSampling/IrradianceError.h>
#include <morvekSampling/PhysicalExtraction.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace Morvek {
namespace {

constexpr double pi = 3.14159265358979323846;

// A float RGB picture, the top row first.
struct Picture {
    int width, height;
    std::vector<float> rgb;

    Picture(int w, int h, float value = 0.0f) : width(w), height(h), rgb(3 * w * h, value) {}
    float* at(int x, int y) { return &rgb[3 * (std::size_t(y) * width + x)]; }
    RadianceImage view() const { return {rgb.data(), width, height, false}; }
};

// A sky with texture: smooth gradients, a bright patch and noise, deterministic.
Picture texturedSky(int w, int h)
{
    Picture p(w, h);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(0.0f, 0.2f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float* c = p.at(x, y);
            const float sky = y < h / 2 ? 1.0f + float(x) / w : 0.3f;
            c[0] = sky + noise(random);
            c[1] = 0.8f * sky + noise(random);
            c[2] = 0.5f + noise(random);
        }
    for (int y = h / 4; y < h / 4 + 3; ++y)
        for (int x = w / 3; x < w / 3 + 4; ++x)
            p.at(x, y)[0] = p.at(x, y)[1] = p.at(x, y)[2] = 200.0f;
    return p;
}

std::array<double, 3> toward(double u, double v, int w, int h)
{
    const double a = 2.0 * pi * u / w;
    const double t = pi * v / h;
    return {std::cos(a) * std::sin(t), std::cos(t), std::sin(a) * std::sin(t)};
}

double solidAngleOfRow(int y, int w, int h)
{
    return 2.0 * pi / w * (std::cos(pi * y / h) - std::cos(pi * (y + 1) / h));
}

double luminance(const std::array<double, 3>& c)
{
    return 0.2125 * c[0] + 0.7154 * c[1] + 0.0721 * c[2];
}

TEST(PhysicalExtraction, UpperHemisphereDeliversPiLToAnUpwardSurface)
{
    Picture sky(128, 64);
    const float radiance = 2.0f;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 128; ++x)
            sky.at(x, y)[0] = sky.at(x, y)[1] = sky.at(x, y)[2] = radiance;
    for (const int n : {16, 64}) {
        const PhysicalExtraction::Result result = PhysicalExtraction::extract(sky.view(), {n});
        ASSERT_TRUE(result.ok()) << result.error;
        ASSERT_EQ(result.lights.size(), std::size_t(n));
        double total = 0.0;
        double upward = 0.0;
        for (const PhysicalLight& light : result.lights) {
            total += light.irradiance[1];
            upward += luminance(light.irradiance) * std::max(0.0, -light.direction[1]);
            // A uniform upper half: no light from below the horizon carries power.
            if (light.direction[1] > 0.0) {
                EXPECT_EQ(luminance(light.irradiance), 0.0);
            }
        }
        // Pixels are summed in single precision within a cell, in double beyond.
        EXPECT_NEAR(total, 2.0 * pi * radiance, 1e-6 * total);
        EXPECT_NEAR(result.totalIrradiance[1], total, 1e-12 * total);
        EXPECT_NEAR(upward, pi * radiance, 0.01 * pi * radiance) << n << " lights";
        EXPECT_LT(IrradianceError::measure(sky.view(), result.lights), n == 16 ? 0.03 : 0.005);
    }
}

TEST(PhysicalExtraction, SingleBrightPixelGivesOneExactLight)
{
    Picture dark(64, 32);
    const int px = 40, py = 9;
    dark.at(px, py)[0] = 100.0f;
    dark.at(px, py)[1] = 50.0f;
    dark.at(px, py)[2] = 25.0f;
    const double omega = solidAngleOfRow(py, 64, 32);
    const std::array<double, 3> w = toward(px + 0.5, py + 0.5, 64, 32);
    for (const int n : {1, 5, 32}) {
        const PhysicalExtraction::Result result = PhysicalExtraction::extract(dark.view(), {n});
        ASSERT_TRUE(result.ok()) << result.error;
        ASSERT_EQ(result.lights.size(), std::size_t(n));
        const PhysicalLight& first = result.lights.front();
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(first.direction[k], -w[k], 1e-6) << n << " lights, axis " << k;
        EXPECT_NEAR(first.irradiance[0], 100.0 * omega, 1e-6 * 100.0 * omega);
        EXPECT_NEAR(first.irradiance[1], 50.0 * omega, 1e-6 * 50.0 * omega);
        EXPECT_NEAR(first.irradiance[2], 25.0 * omega, 1e-6 * 25.0 * omega);
        for (std::size_t i = 1; i < result.lights.size(); ++i)
            EXPECT_EQ(luminance(result.lights[i].irradiance), 0.0);
        EXPECT_LT(IrradianceError::measure(dark.view(), result.lights), 1e-6);
    }
}

TEST(PhysicalExtraction, ExactlyNRegionsTilingThePictureAndTheSphere)
{
    const Picture sky = texturedSky(48, 24);
    for (int n = 1; n <= 48 * 24; n += n < 40 ? 1 : 97) {
        const PhysicalExtraction::Result result = PhysicalExtraction::extract(sky.view(), {n});
        ASSERT_TRUE(result.ok()) << result.error;
        ASSERT_EQ(result.lights.size(), std::size_t(n));
        std::vector<int> covered(48 * 24, 0);
        double solidAngle = 0.0;
        std::array<double, 3> irradiance{};
        for (const PhysicalLight& light : result.lights) {
            const PixelRect& r = light.region;
            ASSERT_GE(r.x, 0);
            ASSERT_GE(r.y, 0);
            ASSERT_LE(r.x + r.width, 48);
            ASSERT_LE(r.y + r.height, 24);
            for (int y = r.y; y < r.y + r.height; ++y)
                for (int x = r.x; x < r.x + r.width; ++x)
                    ++covered[std::size_t(y) * 48 + x];
            solidAngle += light.solidAngle;
            for (int k = 0; k < 3; ++k)
                irradiance[k] += light.irradiance[k];
            EXPECT_NEAR(std::hypot(light.direction[0], light.direction[1], light.direction[2]), 1.0,
                        1e-12);
        }
        EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), 48 * 24) << n;
        EXPECT_NEAR(solidAngle, 4.0 * pi, 1e-12) << n;
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(irradiance[k], result.totalIrradiance[k], 1e-9 * irradiance[k]) << n;
        // Ranked by luminance, the most powerful first.
        for (std::size_t i = 1; i < result.lights.size(); ++i)
            ASSERT_GE(luminance(result.lights[i - 1].irradiance),
                      luminance(result.lights[i].irradiance));
    }
}

TEST(PhysicalExtraction, RefittedPowersMeetTheEnvironmentsMoments)
{
    // With nine lights or more, the lights' power and first and second moments per channel are
    // the environment's, summed pixel by pixel here.
    const Picture sky = texturedSky(64, 32);
    const PhysicalExtraction::Result result = PhysicalExtraction::extract(sky.view(), {24});
    ASSERT_TRUE(result.ok());
    const auto moments = [](const std::array<double, 3>& m) {
        return std::array<double, 9>{1.0,         m[0],        m[1],        m[2],       m[0] * m[0],
                                     m[1] * m[1], m[0] * m[1], m[0] * m[2], m[1] * m[2]};
    };
    for (int ch = 0; ch < 3; ++ch) {
        std::array<double, 9> environment{}, lights{};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x) {
                const Picture& p = sky;
                const double value = p.rgb[3 * (std::size_t(y) * 64 + x) + ch];
                const auto b = moments(toward(x + 0.5, y + 0.5, 64, 32));
                for (int k = 0; k < 9; ++k)
                    environment[k] += value * solidAngleOfRow(y, 64, 32) * b[k];
            }
        for (const PhysicalLight& light : result.lights) {
            const auto b = moments({-light.direction[0], -light.direction[1], -light.direction[2]});
            for (int k = 0; k < 9; ++k)
                lights[k] += light.irradiance[ch] * b[k];
            EXPECT_GE(light.irradiance[ch], 0.0);
        }
        for (int k = 0; k < 9; ++k)
            EXPECT_NEAR(lights[k], environment[k], 1e-5 * environment[0]) << ch << ", " << k;
    }
}

TEST(PhysicalExtraction, SameLightsFromAnUpscaledPictureAndFromBottomFirstRows)
{
    const Picture small = texturedSky(256, 128);
    Picture large(1024, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 1024; ++x)
            for (int k = 0; k < 3; ++k)
                large.at(x, y)[k] = small.rgb[3 * (std::size_t(y / 4) * 256 + x / 4) + k];
    Picture flipped(256, 128);
    for (int y = 0; y < 128; ++y)
        std::copy_n(&small.rgb[3 * std::size_t(127 - y) * 256], 3 * 256, flipped.at(0, y));
    RadianceImage bottomFirst = flipped.view();
    bottomFirst.bottomRowFirst = true;

    const auto a = PhysicalExtraction::extract(small.view(), {64});
    const auto b = PhysicalExtraction::extract(large.view(), {64});
    const auto c = PhysicalExtraction::extract(bottomFirst, {64});
    ASSERT_EQ(a.lights.size(), 64u);
    ASSERT_EQ(b.lights.size(), 64u);
    ASSERT_EQ(c.lights.size(), 64u);
    for (std::size_t i = 0; i < 64; ++i) {
        const PhysicalLight& la = a.lights[i];
        const PhysicalLight& lb = b.lights[i];
        const PhysicalLight& lc = c.lights[i];
        EXPECT_EQ(lb.region.x, 4 * la.region.x);
        EXPECT_EQ(lb.region.y, 4 * la.region.y);
        EXPECT_EQ(lb.region.width, 4 * la.region.width);
        for (int k = 0; k < 3; ++k) {
            // The finer pixels lie a little differently on the sphere: within 0.06 degrees.
            EXPECT_NEAR(lb.direction[k], la.direction[k], 1e-3) << i;
            EXPECT_NEAR(lb.irradiance[k], la.irradiance[k], 1e-4 * la.irradiance[k]) << i;
            EXPECT_EQ(lc.direction[k], la.direction[k]) << i;
            EXPECT_EQ(lc.irradiance[k], la.irradiance[k]) << i;
        }
        EXPECT_EQ(lc.region.y, la.region.y);
    }
}

// A sun beside a glow that lies to one side of it, as at sunset: a region around the sun would
// have its mean pulled into the glow, yet the most powerful light must point at the sun.
TEST(PhysicalExtraction, MostPowerfulLightAimsAtASunBesideAnUnevenGlow)
{
    Picture p(512, 256);
    const int sunX = 300, sunY = 90;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x) {
            // Sky above the horizon, ground below, and a glow that is brightest next to the sun
            // and fades away from it to the right and downward.
            float v = y < 128 ? 1.0f : 0.3f;
            if (x >= 296 && x < 420 && y >= 50 && y < 128)
                v += 20.0f / (1.0f + 0.03f * float(x - 296) + 0.03f * float(std::abs(y - 100)));
            p.at(x, y)[0] = p.at(x, y)[1] = p.at(x, y)[2] = v;
        }
    for (int y = sunY - 1; y <= sunY + 1; ++y)
        for (int x = sunX - 1; x <= sunX + 1; ++x)
            p.at(x, y)[0] = p.at(x, y)[1] = p.at(x, y)[2] = 500.0f;
    p.at(sunX, sunY)[0] = p.at(sunX, sunY)[1] = p.at(sunX, sunY)[2] = 2000.0f;
    const std::array<double, 3> sun = toward(sunX + 0.5, sunY + 0.5, p.width, p.height);

    for (const int n : {16, 23, 32, 64, 128, 256}) {
        const auto result = PhysicalExtraction::extract(p.view(), {n});
        ASSERT_EQ(result.lights.size(), std::size_t(n));
        const std::array<double, 3>& d = result.lights[0].direction;
        const double angle =
            std::acos(std::fmin(1.0, -(d[0] * sun[0] + d[1] * sun[1] + d[2] * sun[2]))) * 180 / pi;
        EXPECT_LE(angle, 0.5) << n << " lights";
        double sum = 0.0;
        for (const PhysicalLight& light : result.lights)
            sum += luminance(light.irradiance);
        EXPECT_NEAR(sum, luminance(result.totalIrradiance), 1e-9 * sum) << n << " lights";
        EXPECT_LT(IrradianceError::measure(p.view(), result.lights), n < 64 ? 0.03 : 0.005)
            << n << " lights";
    }
}

// The picture's rows are shared out among threads: the lights must not depend on how many,
// and a bad value is found in whichever thread's rows it lies.
TEST(PhysicalExtraction, ThreadsGiveTheSameBitsAndFindEveryBadValue)
{
    const Picture sky = texturedSky(1024, 512); // cells of 8 x 8 pixels: 64 rows of cells
    const auto one = PhysicalExtraction::extract(sky.view(), {100, 1});
    ASSERT_EQ(one.lights.size(), 100u);
    for (const int threads : {2, 3, 64, 1000}) {
        const auto many = PhysicalExtraction::extract(sky.view(), {100, threads});
        ASSERT_EQ(many.lights.size(), 100u) << threads;
        EXPECT_EQ(many.totalIrradiance, one.totalIrradiance) << threads;
        for (std::size_t i = 0; i < 100; ++i) {
            EXPECT_EQ(many.lights[i].direction, one.lights[i].direction) << threads << " " << i;
            EXPECT_EQ(many.lights[i].irradiance, one.lights[i].irradiance) << threads << " " << i;
            EXPECT_EQ(many.lights[i].region.x, one.lights[i].region.x) << threads << " " << i;
            EXPECT_EQ(many.lights[i].region.y, one.lights[i].region.y) << threads << " " << i;
        }
    }
    for (const int row : {0, 255, 256, 511}) {
        Picture broken = sky;
        broken.at(700, row)[1] = std::numeric_limits<float>::infinity();
        for (const int threads : {1, 2, 3}) {
            const auto result = PhysicalExtraction::extract(broken.view(), {16, threads});
            EXPECT_FALSE(result.ok()) << row << " " << threads;
            EXPECT_TRUE(result.lights.empty()) << row << " " << threads;
        }
    }
}

TEST(PhysicalExtraction, RefusesWhatItCannotDo)
{
    Picture sky(8, 4, 1.0f);
    EXPECT_EQ(PhysicalExtraction::extract({}, {4}).error, "the image has no pixels");
    EXPECT_EQ(PhysicalExtraction::extract(sky.view(), {-1}).error,
              "cannot make -1 lights: give 0 to 4096");
    EXPECT_EQ(PhysicalExtraction::extract(sky.view(), {4097}).error,
              "cannot make 4097 lights: give 0 to 4096");
    EXPECT_EQ(PhysicalExtraction::extract(sky.view(), {33}).error,
              "cannot make 33 lights from an image of 8 x 4 pixels");
    EXPECT_EQ(PhysicalExtraction::extract(sky.view(), {32}).lights.size(), 32u);

    const PhysicalExtraction::Result none = PhysicalExtraction::extract(sky.view(), {0});
    EXPECT_TRUE(none.ok());
    EXPECT_TRUE(none.lights.empty());
    EXPECT_NEAR(none.totalIrradiance[0], 4.0 * pi, 1e-6);

    for (const float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        Picture broken = sky;
        broken.at(5, 3)[2] = bad;
        const PhysicalExtraction::Result result = PhysicalExtraction::extract(broken.view(), {4});
        EXPECT_EQ(result.error, "the image holds a value that is not finite (NaN or infinity)");
        EXPECT_TRUE(result.lights.empty());
    }
    // Finite values whose sum is not: refused rather than lights of infinite power.
    Picture huge(3, 2, 3.0e38f);
    EXPECT_EQ(PhysicalExtraction::extract(huge.view(), {2}).error,
              "the image's values are too large to add up (their sum is not finite)");
    // Negative radiance counts as none.
    Picture negative = sky;
    for (int x = 0; x < 8; ++x)
        negative.at(x, 0)[0] = -5.0f;
    const auto result = PhysicalExtraction::extract(negative.view(), {1});
    const double topRow = 8 * solidAngleOfRow(0, 8, 4);
    EXPECT_NEAR(result.totalIrradiance[0], 4.0 * pi - topRow, 1e-6);
}

TEST(IrradianceError, EnvironmentIrradianceIsTheSumOverPixels)
{
    const Picture sky = texturedSky(40, 20);
    std::vector<std::array<double, 3>> normals = IrradianceError::normals();
    ASSERT_EQ(normals.size(), 2000u);
    EXPECT_NEAR(normals[0][1], 1.0 - 1.0 / 2000, 1e-15);
    // Straight up and down and sideways, where whole rows face one way or are cut at a tangent.
    normals.insert(normals.end(), {{0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {0, 0, -1}});
    const std::vector<double> fast = IrradianceError::environment(sky.view(), normals);
    for (std::size_t j = 0; j < normals.size(); ++j) {
        double sum = 0.0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                const auto w = toward(x + 0.5, y + 0.5, 40, 20);
                const double facing =
                    normals[j][0] * w[0] + normals[j][1] * w[1] + normals[j][2] * w[2];
                const float* c = &sky.rgb[3 * (std::size_t(y) * 40 + x)];
                if (facing > 0.0)
                    sum += (0.2125 * c[0] + 0.7154 * c[1] + 0.0721 * c[2]) * facing *
                           solidAngleOfRow(y, 40, 20);
            }
        ASSERT_NEAR(fast[j], sum, 1e-12 * sum + 1e-15) << "normal " << j;
    }
    EXPECT_EQ(IrradianceError::measure(sky.view(), {}), 1.0);
    EXPECT_EQ(IrradianceError::measure(Picture(8, 4).view(), {}), 0.0);
}

} // namespace
} // namespace Morvek
