#include "PreviewRenderer.h"

#include "Canvas.h"
#include "DigitFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>

namespace envlights {

namespace {

constexpr double pi = 3.14159265358979323846;

// Samples per pixel side: 2 x 2 samples keep the sphere's outline and the hard shadows of
// the lights from stair-stepping.
constexpr int samplesPerSide = 2;
constexpr int samplesPerPixel = samplesPerSide * samplesPerSide;

// Linear value that the mean surface luminance is exposed to (middle grey).
constexpr double middleGrey = 0.18;

using Vec3 = std::array<double, 3>;

constexpr Vec3 sphereCentre{{0.0, 1.0, 0.0}}; // radius 1, touching the ground at the origin

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 normalized(const Vec3& v)
{
    const double length = std::sqrt(dot(v, v));
    return {v[0] / length, v[1] / length, v[2] / length};
}

double luminance(const Vec3& rgb) { return 0.2125 * rgb[0] + 0.7154 * rgb[1] + 0.0721 * rgb[2]; }

// The ground hides every direction below the horizon from a point on the sphere; at exactly
// the horizon a ray from above the ground runs clear of it.
bool belowHorizon(double y) { return y < 0.0; }

// The environment as the reference integrates it: cells of a box-filtered copy, each with its
// power (radiance times solid angle, per channel) gathered at the luminance-weighted mean
// direction of its pixels, so that a small bright source keeps its direction. Only cells above
// the horizon light anything (below it the ground faces away and blocks the sphere), and only
// those are kept, one row of cells after another, in structure-of-arrays form for speed.
struct DirectionTable {
    struct Row {
        std::size_t begin = 0;
        std::size_t end = 0;
        double minY = 0.0; // lowest direction of the row, for skipping rows the sphere can't hide
    };
    std::vector<double> x, y, z;
    std::vector<double> power[3];
    std::vector<Row> rows;
    Vec3 openSky{}; // what a ground point with nothing in the way receives
};

bool buildDirections(const Morvek::RadianceImage& image, DirectionTable& table, std::string& error)
{
    const int width = image.width;
    const int height = image.height;
    const int columns = std::min(width, PreviewRenderer::directionColumns);
    const int rows = std::min(height, PreviewRenderer::directionRows);

    struct Cell {
        Vec3 power{};
        Vec3 weighted{}; // luminance-weighted direction sum
    };
    std::vector<Cell> cells(static_cast<std::size_t>(columns) * rows);
    std::vector<double> cosA(width), sinA(width);
    for (int u = 0; u < width; ++u) {
        const double a = 2.0 * pi * (u + 0.5) / width;
        cosA[u] = std::cos(a);
        sinA[u] = std::sin(a);
    }
    for (int v = 0; v < height; ++v) {
        const double t0 = pi * v / height;
        const double t1 = pi * (v + 1) / height;
        const double solidAngle = 2.0 * pi / width * (std::cos(t0) - std::cos(t1));
        const double t = pi * (v + 0.5) / height;
        const double sinT = std::sin(t);
        const double cosT = std::cos(t);
        const float* pixels = image.row(v);
        Cell* cellRow =
            &cells[static_cast<std::size_t>(static_cast<long long>(v) * rows / height * columns)];
        for (int u = 0; u < width; ++u) {
            Vec3 power; // radiance times solid angle
            for (int c = 0; c < 3; ++c) {
                const float value = pixels[3 * static_cast<std::size_t>(u) + c];
                if (!std::isfinite(value)) {
                    error = "the environment has a non-finite value at column " +
                            std::to_string(u) + ", row " + std::to_string(v);
                    return false;
                }
                power[c] = std::max(0.0, double(value)) * solidAngle;
            }
            const Vec3 w{cosA[u] * sinT, cosT, sinA[u] * sinT};
            Cell& cell = cellRow[static_cast<long long>(u) * columns / width];
            const double weight = luminance(power);
            for (int c = 0; c < 3; ++c) {
                cell.power[c] += power[c];
                cell.weighted[c] += weight * w[c];
            }
        }
    }

    for (int r = 0; r < rows; ++r) {
        DirectionTable::Row row;
        row.begin = table.x.size();
        row.minY = 1.0;
        for (int c = 0; c < columns; ++c) {
            const Cell& cell = cells[static_cast<std::size_t>(r) * columns + c];
            // Every channel weighs in the luminance, so only black cells have no direction.
            if (!(dot(cell.weighted, cell.weighted) > 0.0))
                continue;
            const Vec3 w = normalized(cell.weighted);
            if (belowHorizon(w[1]))
                continue;
            table.x.push_back(w[0]);
            table.y.push_back(w[1]);
            table.z.push_back(w[2]);
            for (int k = 0; k < 3; ++k) {
                table.power[k].push_back(cell.power[k]);
                table.openSky[k] += cell.power[k] * w[1];
            }
            row.minY = std::min(row.minY, w[1]);
        }
        row.end = table.x.size();
        if (row.end > row.begin)
            table.rows.push_back(row);
    }
    return true;
}

// Irradiance at a point of the sphere with unit normal n: every direction above the horizon
// that the normal faces. The sphere, being convex, never hides itself.
Vec3 sphereIrradiance(const DirectionTable& table, const Vec3& n)
{
    double r = 0.0, g = 0.0, b = 0.0;
    const std::size_t count = table.x.size();
    for (std::size_t k = 0; k < count; ++k) {
        const double c = n[0] * table.x[k] + n[1] * table.y[k] + n[2] * table.z[k];
        if (c > 0.0) {
            r += c * table.power[0][k];
            g += c * table.power[1][k];
            b += c * table.power[2][k];
        }
    }
    return {r, g, b};
}

// The sphere as seen from a ground point p: the ray along unit w hits it when
// w . toCentre > sqrt(|toCentre|^2 - 1) (a cone around toCentre of half-angle asin(1/d)).
struct SphereCone {
    explicit SphereCone(const Vec3& p)
        : toCentre(sub(sphereCentre, p)), distance2(dot(toCentre, toCentre)),
          threshold(std::sqrt(std::max(0.0, distance2 - 1.0)))
    {
    }
    bool hides(const Vec3& w) const { return dot(w, toCentre) > threshold; }

    Vec3 toCentre;
    double distance2;
    double threshold;
};

// Irradiance at a ground point: the open sky less what the sphere hides. The cone's axis rises
// as far above the horizon as its half-angle a (sin a = 1 / distance), so it grazes the horizon
// and reaches up to elevation 2a, y = 2 sin(a) cos(a) = 2 threshold / distance2, or over the
// zenith once 2a passes 90 degrees (threshold below 1); rows wholly above cannot be hidden.
Vec3 groundIrradiance(const DirectionTable& table, const Vec3& p)
{
    const SphereCone cone(p);
    const double highest =
        cone.threshold < 1.0 ? 1.0 : 2.0 * cone.threshold / cone.distance2 + 1e-9;
    double r = 0.0, g = 0.0, b = 0.0;
    for (const DirectionTable::Row& row : table.rows) {
        if (row.minY > highest)
            continue;
        for (std::size_t k = row.begin; k < row.end; ++k) {
            const double along = cone.toCentre[0] * table.x[k] + cone.toCentre[1] * table.y[k] +
                                 cone.toCentre[2] * table.z[k];
            if (along > cone.threshold) {
                r += table.y[k] * table.power[0][k];
                g += table.y[k] * table.power[1][k];
                b += table.y[k] * table.power[2][k];
            }
        }
    }
    return {std::max(0.0, table.openSky[0] - r), std::max(0.0, table.openSky[1] - g),
            std::max(0.0, table.openSky[2] - b)};
}

// A light as the renderer uses it: unit direction toward where it comes from.
struct Light {
    Vec3 toward;
    Vec3 irradiance;
};

Vec3 sphereLightIrradiance(const std::vector<Light>& lights, const Vec3& n)
{
    Vec3 sum{};
    for (const Light& light : lights) {
        const double c = dot(n, light.toward);
        if (c > 0.0 && !belowHorizon(light.toward[1]))
            for (int k = 0; k < 3; ++k)
                sum[k] += c * light.irradiance[k];
    }
    return sum;
}

Vec3 groundLightIrradiance(const std::vector<Light>& lights, const Vec3& p)
{
    const SphereCone cone(p);
    Vec3 sum{};
    for (const Light& light : lights) {
        const double c = light.toward[1];
        if (c > 0.0 && !cone.hides(light.toward))
            for (int k = 0; k < 3; ++k)
                sum[k] += c * light.irradiance[k];
    }
    return sum;
}

class Camera {
public:
    Camera(int width, int height) : _width(width), _height(height)
    {
        _forward = normalized(sub(PreviewRenderer::cameraTarget, PreviewRenderer::cameraPosition));
        _right = normalized(cross(_forward, Vec3{0.0, 1.0, 0.0}));
        _up = cross(_right, _forward);
        _tanHalfHeight = std::tan(PreviewRenderer::verticalFieldOfViewDeg * pi / 360.0);
        _tanHalfWidth = _tanHalfHeight * width / height;
    }

    // Unit ray direction through panel position (px, py), in pixels.
    Vec3 ray(double px, double py) const
    {
        const double sx = (2.0 * px / _width - 1.0) * _tanHalfWidth;
        const double sy = (1.0 - 2.0 * py / _height) * _tanHalfHeight;
        Vec3 d;
        for (int k = 0; k < 3; ++k)
            d[k] = _forward[k] + sx * _right[k] + sy * _up[k];
        return normalized(d);
    }

    bool project(const Vec3& p, double& px, double& py) const
    {
        const Vec3 v = sub(p, PreviewRenderer::cameraPosition);
        const double depth = dot(v, _forward);
        if (!(depth > 0.0))
            return false;
        px = (dot(v, _right) / depth / _tanHalfWidth + 1.0) * _width / 2.0;
        py = (1.0 - dot(v, _up) / depth / _tanHalfHeight) * _height / 2.0;
        return true;
    }

private:
    int _width;
    int _height;
    Vec3 _forward{}, _right{}, _up{};
    double _tanHalfHeight = 0.0;
    double _tanHalfWidth = 0.0;
};

enum class Surface { none, sphere, ground };

// The first surface the ray from the camera along unit d meets. The sphere lies wholly above
// the ground, so a ray that meets both meets the sphere first.
Surface trace(const Vec3& d, Vec3& hit)
{
    const Vec3& eye = PreviewRenderer::cameraPosition;
    const Vec3 offset = sub(eye, sphereCentre);
    const double b = dot(offset, d);
    const double disc = b * b - (dot(offset, offset) - 1.0);
    if (disc >= 0.0) {
        const double t = -b - std::sqrt(disc);
        if (t > 0.0) {
            hit = {eye[0] + t * d[0], eye[1] + t * d[1], eye[2] + t * d[2]};
            return Surface::sphere;
        }
    }
    if (d[1] < 0.0) {
        const double t = -eye[1] / d[1];
        hit = {eye[0] + t * d[0], 0.0, eye[2] + t * d[2]};
        return Surface::ground;
    }
    return Surface::none;
}

// Radiance of the environment along unit d, nearest pixel.
Vec3 environmentAt(const Morvek::RadianceImage& image, const Vec3& d)
{
    const double t = std::acos(std::clamp(d[1], -1.0, 1.0));
    double a = std::atan2(d[2], d[0]);
    if (a < 0.0)
        a += 2.0 * pi;
    const int u = std::clamp(static_cast<int>(a / (2.0 * pi) * image.width), 0, image.width - 1);
    const int v = std::clamp(static_cast<int>(t / pi * image.height), 0, image.height - 1);
    const float* p = image.row(v) + 3 * static_cast<std::size_t>(u);
    return {std::max(0.0f, p[0]), std::max(0.0f, p[1]), std::max(0.0f, p[2])};
}

// What the samples of one pixel gathered, linear.
struct PixelSums {
    int surfaceSamples = 0;
    Vec3 reference{};  // reflected radiance, summed over surface samples
    Vec3 lights{};     // likewise
    Vec3 background{}; // environment radiance, summed over the other samples
    double referenceY = 0.0;
    double lightsY = 0.0;
    double squaredDifference = 0.0; // sum of (Y_lights - Y_reference)^2
};

struct Scene {
    const Morvek::RadianceImage& image;
    const DirectionTable& directions;
    const std::vector<Light>& lights;
    const Camera& camera;
};

PixelSums shadePixel(const Scene& scene, int x, int y)
{
    PixelSums sums;
    for (int s = 0; s < samplesPerPixel; ++s) {
        const double px = x + (s % samplesPerSide + 0.5) / samplesPerSide;
        const double py = y + (s / samplesPerSide + 0.5) / samplesPerSide;
        const Vec3 d = scene.camera.ray(px, py);
        Vec3 p;
        const Surface surface = trace(d, p);
        if (surface == Surface::none) {
            const Vec3 radiance = environmentAt(scene.image, d);
            for (int k = 0; k < 3; ++k)
                sums.background[k] += radiance[k];
            continue;
        }
        Vec3 reference, lights;
        double albedo;
        if (surface == Surface::sphere) {
            const Vec3 n = sub(p, sphereCentre);
            reference = sphereIrradiance(scene.directions, n);
            lights = sphereLightIrradiance(scene.lights, n);
            albedo = PreviewRenderer::sphereAlbedo;
        } else {
            reference = groundIrradiance(scene.directions, p);
            lights = groundLightIrradiance(scene.lights, p);
            albedo = PreviewRenderer::groundAlbedo;
        }
        for (int k = 0; k < 3; ++k) {
            reference[k] *= albedo / pi;
            lights[k] *= albedo / pi;
            sums.reference[k] += reference[k];
            sums.lights[k] += lights[k];
        }
        const double referenceY = luminance(reference);
        const double lightsY = luminance(lights);
        sums.referenceY += referenceY;
        sums.lightsY += lightsY;
        sums.squaredDifference += (lightsY - referenceY) * (lightsY - referenceY);
        ++sums.surfaceSamples;
    }
    return sums;
}

// Rows are dealt out in turn so that the costly middle (the sphere) is shared; every pixel is
// computed alone, so the result does not depend on the number of threads.
std::vector<PixelSums> shadePanel(const Scene& scene, int width, int height)
{
    std::vector<PixelSums> pixels(static_cast<std::size_t>(width) * height);
    const unsigned available = std::max(1u, std::thread::hardware_concurrency());
    const int threadCount = static_cast<int>(std::min({available, 4u, unsigned(height)}));
    auto work = [&](int first) {
        for (int y = first; y < height; y += threadCount)
            for (int x = 0; x < width; ++x)
                pixels[static_cast<std::size_t>(y) * width + x] = shadePixel(scene, x, y);
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < threadCount; ++t)
        threads.emplace_back(work, t);
    work(0);
    for (std::thread& thread : threads)
        thread.join();
    return pixels;
}

constexpr Rgb textColor{255, 255, 255};
constexpr Rgb textBackColor{0, 0, 0};
constexpr Rgb noSurfaceColor{48, 48, 48}; // the difference panel where no surface is
constexpr Rgb negativeColor{33, 102, 172};
constexpr Rgb positiveColor{178, 24, 43};
constexpr Rgb zeroColor{255, 255, 255};

// Exposure, then x / (1 + x), then the sRGB curve.
Rgb toneMap(const Vec3& radiance, double exposure)
{
    std::uint8_t out[3];
    for (int k = 0; k < 3; ++k) {
        const double v = radiance[k] * exposure;
        out[k] = Canvas::encodeSrgb(v / (1.0 + v));
    }
    return {out[0], out[1], out[2]};
}

Rgb mix(Rgb a, Rgb b, double t)
{
    auto channel = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// Diverging colour of a relative difference: blue below zero, white at zero, red above.
Rgb differenceColor(double relative)
{
    const double t = std::clamp(relative / PreviewRenderer::differenceRange, -1.0, 1.0);
    return t < 0.0 ? mix(zeroColor, negativeColor, -t) : mix(zeroColor, positiveColor, t);
}

// White text on a black box one font pixel wider all round; (x, y) is the text's corner.
void label(Canvas& canvas, const std::string& s, int x, int y, int scale)
{
    canvas.fill(x - scale, y - scale, x + (DigitFont::textWidth(s) + 1) * scale - 1,
                y + (DigitFont::glyphHeight + 1) * scale - 1, textBackColor);
    canvas.text(s, x, y, scale, textColor);
}

std::string formatNumber(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The colour bar along the bottom of the difference panel, labelled at both ends and zero.
void drawScale(Canvas& canvas, int left, int panelWidth, int panelHeight, int textScale)
{
    const int margin = 4 * textScale;
    const int barHeight = 3 * textScale;
    const int barWidth = std::min(panelWidth - 2 * margin, 80 * textScale);
    const int textHeight = DigitFont::glyphHeight * textScale;
    const int barX = left + (panelWidth - barWidth) / 2;
    const int textY = panelHeight - margin - textHeight;
    const int barY = textY - 2 * textScale - barHeight;
    canvas.fill(barX - 1, barY - 1, barX + barWidth, barY + barHeight, textBackColor);
    for (int i = 0; i < barWidth; ++i) {
        const double relative =
            (2.0 * (i + 0.5) / barWidth - 1.0) * PreviewRenderer::differenceRange;
        canvas.fill(barX + i, barY, barX + i, barY + barHeight - 1, differenceColor(relative));
    }
    const std::string range = formatNumber("%g", PreviewRenderer::differenceRange);
    const std::string low = "-" + range;
    const std::string high = "+" + range;
    label(canvas, low, barX, textY, textScale);
    label(canvas, "0", barX + (barWidth - DigitFont::textWidth("0") * textScale) / 2, textY,
          textScale);
    label(canvas, high, barX + barWidth - DigitFont::textWidth(high) * textScale, textY, textScale);
}

bool convertLights(const std::vector<Morvek::PhysicalLight>& in, std::vector<Light>& out,
                   std::string& error)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        const Morvek::PhysicalLight& light = in[i];
        const Vec3 shine{light.direction[0], light.direction[1], light.direction[2]};
        const Vec3 irradiance{light.irradiance[0], light.irradiance[1], light.irradiance[2]};
        const bool finite =
            std::all_of(shine.begin(), shine.end(), [](double v) { return std::isfinite(v); }) &&
            std::all_of(irradiance.begin(), irradiance.end(),
                        [](double v) { return std::isfinite(v); });
        if (!finite) {
            error = "light " + std::to_string(i + 1) + " has a non-finite value";
            return false;
        }
        const double length = std::sqrt(dot(shine, shine));
        if (!(length > 0.0) || !std::isfinite(length)) {
            error = "light " + std::to_string(i + 1) + " has no direction";
            return false;
        }
        out.push_back({{-shine[0] / length, -shine[1] / length, -shine[2] / length}, irradiance});
    }
    return true;
}

} // namespace

bool PreviewRenderer::render(const Morvek::RadianceImage& image,
                             const std::vector<Morvek::PhysicalLight>& lights, Picture& picture,
                             std::string& error, int panelWidth, int panelHeight)
{
    picture = Picture();
    if (image.rgb == nullptr || image.width < 1 || image.height < 1) {
        error = "the environment has no pixels";
        return false;
    }
    if (panelWidth < 1 || panelHeight < 1 || panelWidth > maxPanelSide ||
        panelHeight > maxPanelSide) {
        error = "a preview panel of " + std::to_string(panelWidth) + " x " +
                std::to_string(panelHeight) + " pixels is outside 1 to " +
                std::to_string(maxPanelSide) + " a side";
        return false;
    }
    std::vector<Light> shining;
    if (!convertLights(lights, shining, error))
        return false;
    DirectionTable directions;
    if (!buildDirections(image, directions, error))
        return false;

    const Camera camera(panelWidth, panelHeight);
    const Scene scene{image, directions, shining, camera};
    const std::vector<PixelSums> pixels = shadePanel(scene, panelWidth, panelHeight);

    // Sums in pixel order, on one thread, so that they come out the same every time.
    double samples = 0.0, referenceY = 0.0, lightsY = 0.0, squared = 0.0;
    for (const PixelSums& p : pixels) {
        samples += p.surfaceSamples;
        referenceY += p.referenceY;
        lightsY += p.lightsY;
        squared += p.squaredDifference;
    }
    const double referenceMean = samples > 0.0 ? referenceY / samples : 0.0;
    const double lightsMean = samples > 0.0 ? lightsY / samples : 0.0;
    // A black reference has no scale of its own: the lights' then stands in for it.
    const double scale = referenceMean > 0.0 ? referenceMean : lightsMean;
    picture.relativeDifference = scale > 0.0 ? std::sqrt(squared / samples) / scale : 0.0;
    const double exposure = scale > 0.0 ? middleGrey / scale : 1.0;

    picture.width = panelCount * panelWidth;
    picture.height = panelHeight;
    Canvas canvas(picture.width, picture.height);
    for (int y = 0; y < panelHeight; ++y)
        for (int x = 0; x < panelWidth; ++x) {
            const PixelSums& p = pixels[static_cast<std::size_t>(y) * panelWidth + x];
            Vec3 reference, lit;
            for (int k = 0; k < 3; ++k) {
                reference[k] = (p.reference[k] + p.background[k]) / samplesPerPixel;
                lit[k] = (p.lights[k] + p.background[k]) / samplesPerPixel;
            }
            canvas.set(x, y, toneMap(reference, exposure));
            canvas.set(panelWidth + x, y, toneMap(lit, exposure));
            Rgb difference = noSurfaceColor;
            if (p.surfaceSamples > 0) {
                const double relative =
                    scale > 0.0 ? (p.lightsY - p.referenceY) / p.surfaceSamples / scale : 0.0;
                difference = mix(noSurfaceColor, differenceColor(relative),
                                 double(p.surfaceSamples) / samplesPerPixel);
            }
            canvas.set(2 * panelWidth + x, y, difference);
        }

    const int textScale = panelWidth >= 240 ? 2 : 1;
    const int margin = 4 * textScale;
    const int lineHeight = (DigitFont::glyphHeight + 3) * textScale;
    label(canvas, "REFERENCE", margin, margin, textScale);
    label(canvas, "LIGHTS", panelWidth + margin, margin, textScale);
    label(canvas, "DIFFERENCE", 2 * panelWidth + margin, margin, textScale);
    const std::string value = std::isfinite(picture.relativeDifference)
                                  ? formatNumber("%.3f", picture.relativeDifference)
                                  : std::string("INF");
    label(canvas, "ERROR " + value, 2 * panelWidth + margin, margin + lineHeight, textScale);
    drawScale(canvas, 2 * panelWidth, panelWidth, panelHeight, textScale);
    picture.rgb = std::move(canvas.pixels());
    return true;
}

bool PreviewRenderer::renderPng(const Morvek::RadianceImage& image,
                                const std::vector<Morvek::PhysicalLight>& lights, std::string& png,
                                std::string& error)
{
    png.clear();
    Picture picture;
    if (!render(image, lights, picture, error))
        return false;
    if (!Canvas::encodePng(picture.width, picture.height, picture.rgb, png)) {
        error = "PNG encoding failed";
        return false;
    }
    return true;
}

bool PreviewRenderer::project(const std::array<double, 3>& p, int panelWidth, int panelHeight,
                              double& x, double& y)
{
    if (panelWidth < 1 || panelHeight < 1)
        return false;
    return Camera(panelWidth, panelHeight).project(p, x, y);
}

} // namespace envlights
