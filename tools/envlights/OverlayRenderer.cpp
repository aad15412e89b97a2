#include "OverlayRenderer.h"

#include "Canvas.h"
#include "DigitFont.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace envlights {

namespace {

constexpr double pi = 3.14159265358979323846;

constexpr Rgb leafColor{150, 150, 150};
constexpr Rgb lightLeafColor{255, 210, 0};
constexpr Rgb markColor{255, 40, 40};
constexpr Rgb shadowColor{0, 0, 0};
constexpr Rgb textColor{255, 255, 255};

float readComponent(const osg::UInt8* data, std::size_t index, bool isFloat)
{
    if (!isFloat)
        return data[index] / 255.0f;
    float value;
    std::copy_n(data + index * sizeof(float), sizeof(float), reinterpret_cast<osg::UInt8*>(&value));
    return value;
}

// The tone-mapped picture, row 0 at the top, one Rgb per image pixel.
std::vector<Rgb> toneMap(const osg::ImagePtr& image)
{
    const int width = image->getWidth();
    const int height = image->getHeight();
    const std::size_t components = image->getComponents();
    const bool isFloat = image->getDataType() == osg::Image::OSG_FLOAT32_IMAGEDATA;
    const osg::UInt8* data = image->getData();
    std::vector<Rgb> out(static_cast<std::size_t>(width) * height);

    auto pixel = [&](int x, int dataRow, int c) {
        return readComponent(data, (static_cast<std::size_t>(dataRow) * width + x) * components + c,
                             isFloat);
    };
    if (!isFloat) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int row = height - 1 - y;
                const auto byte = [&](int c) {
                    return static_cast<std::uint8_t>(std::lround(pixel(x, row, c) * 255.0f));
                };
                out[static_cast<std::size_t>(y) * width + x] = {byte(0), byte(1), byte(2)};
            }
        return out;
    }

    double logSum = 0.0;
    std::size_t counted = 0;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const double luminance =
                0.2126 * pixel(x, row, 0) + 0.7152 * pixel(x, row, 1) + 0.0722 * pixel(x, row, 2);
            if (std::isfinite(luminance) && luminance > 0.0) {
                logSum += std::log(1e-6 + luminance);
                ++counted;
            }
        }
    const double average = counted ? std::exp(logSum / static_cast<double>(counted)) : 1.0;
    const float exposure = static_cast<float>(0.18 / average);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int row = height - 1 - y;
            std::uint8_t rgb[3];
            for (int c = 0; c < 3; ++c) {
                const float v = pixel(x, row, c) * exposure;
                rgb[c] =
                    Canvas::encodeSrgb(std::isfinite(v) ? v / (1.0f + v) : (v > 0 ? 1.0f : 0.0f));
            }
            out[static_cast<std::size_t>(y) * width + x] = {rgb[0], rgb[1], rgb[2]};
        }
    return out;
}

// The picture pixel a shining direction comes from (inverse of the lat-long mapping the
// lighting node pool uses: phi = 2*pi*(1 - u/W) - pi/2, theta = pi * v/H on data rows).
void pixelOfDirection(const std::array<float, 3>& d, int width, int height, int& px, int& py)
{
    const double length =
        std::sqrt(double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2]);
    const double y = length > 0 ? std::clamp(d[1] / length, -1.0, 1.0) : 1.0;
    const double theta = std::acos(y);
    const double phi = std::atan2(double(d[0]), double(d[2]));
    double u = width * (1.0 - (phi + pi / 2.0) / (2.0 * pi));
    long long column = std::llround(u) % width;
    if (column < 0)
        column += width;
    const long long dataRow =
        std::clamp<long long>(std::llround(theta / pi * height), 0, height - 1);
    px = static_cast<int>(column);
    py = static_cast<int>(height - 1 - dataRow);
}

} // namespace

int OverlayRenderer::scaleFor(int width)
{
    return width <= 0 ? 1 : std::max(1, (minWidth + width - 1) / width);
}

bool OverlayRenderer::renderPng(const osg::ImagePtr& image, const EnvironmentReport& report,
                                std::string& png, std::string& error)
{
    png.clear();
    if (image == osg::NullFC || image->getData() == nullptr || image->getWidth() < 1 ||
        image->getHeight() < 1) {
        error = "no image to draw";
        return false;
    }
    const osg::UInt32 format = image->getPixelFormat();
    const osg::Int32 type = image->getDataType();
    if ((format != osg::Image::OSG_RGB_PF && format != osg::Image::OSG_RGBA_PF) ||
        (type != osg::Image::OSG_UINT8_IMAGEDATA && type != osg::Image::OSG_FLOAT32_IMAGEDATA)) {
        error = "the overlay draws only RGB or RGBA images of 8-bit or float data";
        return false;
    }
    const int width = image->getWidth();
    const int height = image->getHeight();
    const int scale = scaleFor(width);
    Canvas canvas(width * scale, height * scale);

    const std::vector<Rgb> picture = toneMap(image);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            canvas.set(x, y, picture[static_cast<std::size_t>(y / scale) * width + x / scale]);

    auto outlineRect = [&](const PictureRect& r, Rgb c) {
        canvas.outline(r.x * scale, r.y * scale, (r.x + r.width) * scale - 1,
                       (r.y + r.height) * scale - 1, c);
    };
    for (const PictureRect& leaf : report.leaves)
        outlineRect(leaf, leafColor);
    for (const ReportedLight& light : report.lights)
        outlineRect(light.region, lightLeafColor);

    // Densest last, so that its mark lies on top.
    const int textScale = 2;
    for (std::size_t k = report.lights.size(); k-- > 0;) {
        int px = 0;
        int py = 0;
        pixelOfDirection(report.lights[k].direction, width, height, px, py);
        const int cx = px * scale + scale / 2;
        const int cy = py * scale + scale / 2;
        const int arm = 4;
        canvas.fill(cx - arm - 1, cy - 1, cx + arm + 1, cy + 1, shadowColor);
        canvas.fill(cx - 1, cy - arm - 1, cx + 1, cy + arm + 1, shadowColor);
        canvas.fill(cx - arm, cy, cx + arm, cy, markColor);
        canvas.fill(cx, cy - arm, cx, cy + arm, markColor);

        const std::string rank = std::to_string(k + 1);
        const int textWidth = DigitFont::textWidth(rank) * textScale;
        const int textHeight = DigitFont::glyphHeight * textScale;
        int tx = cx + arm + 3;
        int ty = cy + 3;
        if (tx + textWidth + 1 >= canvas.width())
            tx = cx - arm - 3 - textWidth;
        if (ty + textHeight + 1 >= canvas.height())
            ty = cy - 3 - textHeight;
        canvas.fill(tx - 1, ty - 1, tx + textWidth, ty + textHeight, shadowColor);
        canvas.text(rank, tx, ty, textScale, textColor);
    }

    if (!canvas.encodePng(png)) {
        error = "PNG encoding failed";
        return false;
    }
    return true;
}

} // namespace envlights
