#include "OverlayRenderer.h"

#include "Canvas.h"
#include "DigitFont.h"

#include <algorithm>
#include <cctype>
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

// Legend rows: text height plus a gap, and the strip's margin.
int legendRowHeight() { return (DigitFont::glyphHeight + 3) * OverlayRenderer::textScale; }
constexpr int legendMargin = 8;
constexpr int swatchWidth = 24;

} // namespace

int OverlayRenderer::scaleFor(int width)
{
    return width <= 0 ? 1 : std::max(1, (minWidth + width - 1) / width);
}

int OverlayRenderer::markRadius(double share)
{
    const double clamped = std::clamp(std::isfinite(share) ? share : 0.0, 0.0, 1.0);
    return std::max(minRadius, static_cast<int>(std::lround(maxRadius * std::sqrt(clamped))));
}

OverlayRenderer::Layout OverlayRenderer::layout(const EnvironmentReport& report,
                                                const Content& content, int width, int height)
{
    Layout result;
    result.scale = scaleFor(width);
    result.pictureHeight = height * result.scale;
    const std::size_t count = report.lights.size();
    for (std::size_t k = 0; k < count; ++k) {
        int px = 0;
        int py = 0;
        pixelOfDirection(report.lights[k].direction, width, height, px, py);
        const double share =
            content.shares.size() == count ? content.shares[k] : 1.0 / static_cast<double>(count);
        const std::string rank = std::to_string(k + 1);
        // The label's box holds the text and its dark border of one pixel.
        result.marks.push_back({px * result.scale + result.scale / 2,
                                py * result.scale + result.scale / 2, markRadius(share),
                                DigitFont::textWidth(rank) * textScale + 2,
                                DigitFont::glyphHeight * textScale + 2});
    }
    result.labels =
        LabelLayout::place(result.marks, {}, width * result.scale, result.pictureHeight);

    const auto upper = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    const std::string method = upper(content.method);
    const bool equal = content.shares.size() != count;
    result.legend.push_back(method + " METHOD, N = " + std::to_string(count));
    result.legend.push_back("OUTLINE: REGION THAT MADE A LIGHT");
    if (report.leaves.size() > count)
        result.legend.push_back("OUTLINE: REGION WITHOUT A LIGHT");
    result.legend.push_back(equal ? "CIRCLE: LIGHT, ALL OF EQUAL SIZE"
                                  : "CIRCLE: LIGHT, AREA = SHARE OF POWER");
    result.legend.push_back("NUMBER: RANK" + (content.firstRank.empty()
                                                  ? std::string()
                                                  : ", 1 = " + upper(content.firstRank)));
    const std::size_t omitted = static_cast<std::size_t>(
        std::count(result.labels.begin(), result.labels.end(), std::nullopt));
    if (omitted > 0)
        result.legend.push_back(std::to_string(omitted) + " NUMBERS LEFT OUT FOR ROOM");
    return result;
}

bool OverlayRenderer::renderPng(const osg::ImagePtr& image, const EnvironmentReport& report,
                                const Content& content, std::string& png, std::string& error)
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
    const Layout placed = layout(report, content, width, height);
    const int scale = placed.scale;
    const int legendHeight =
        2 * legendMargin + static_cast<int>(placed.legend.size()) * legendRowHeight();
    Canvas canvas(width * scale, placed.pictureHeight + legendHeight);

    const std::vector<Rgb> picture = toneMap(image);
    for (int y = 0; y < placed.pictureHeight; ++y)
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

    // Circles, then crosses, then labels, each the most powerful last so that it lies on top.
    const std::size_t count = placed.marks.size();
    for (std::size_t k = count; k-- > 0;) {
        const LabelLayout::Label& mark = placed.marks[k];
        canvas.ring(mark.x, mark.y, mark.radius - 2.0, mark.radius + 1.0, shadowColor);
        canvas.ring(mark.x, mark.y, mark.radius - 1.0, mark.radius, markColor);
    }
    const int arm = 4;
    for (std::size_t k = count; k-- > 0;) {
        const int cx = placed.marks[k].x;
        const int cy = placed.marks[k].y;
        canvas.fill(cx - arm - 1, cy - 1, cx + arm + 1, cy + 1, shadowColor);
        canvas.fill(cx - 1, cy - arm - 1, cx + 1, cy + arm + 1, shadowColor);
        canvas.fill(cx - arm, cy, cx + arm, cy, markColor);
        canvas.fill(cx, cy - arm, cx, cy + arm, markColor);
    }
    for (std::size_t k = count; k-- > 0;) {
        if (!placed.labels[k])
            continue;
        const LabelLayout::Box& box = *placed.labels[k];
        canvas.fill(box.x0, box.y0, box.x1, box.y1, shadowColor);
        canvas.text(std::to_string(k + 1), box.x0 + 1, box.y0 + 1, textScale, textColor);
    }

    // The legend, on black below the picture: a sample of each thing it names, then the words.
    const int textX = legendMargin + swatchWidth + legendMargin;
    for (std::size_t row = 0; row < placed.legend.size(); ++row) {
        const std::string& line = placed.legend[row];
        const int top =
            placed.pictureHeight + legendMargin + static_cast<int>(row) * legendRowHeight();
        const int middle = top + DigitFont::glyphHeight * textScale / 2;
        if (line.rfind("OUTLINE: REGION THAT", 0) == 0)
            canvas.outline(legendMargin, top, legendMargin + swatchWidth - 1, top + 9,
                           lightLeafColor);
        else if (line.rfind("OUTLINE: REGION WITHOUT", 0) == 0)
            canvas.outline(legendMargin, top, legendMargin + swatchWidth - 1, top + 9, leafColor);
        else if (line.rfind("CIRCLE", 0) == 0)
            canvas.ring(legendMargin + swatchWidth / 2, middle, 4.0, 5.0, markColor);
        canvas.text(line, textX, top, textScale, textColor);
    }

    if (!canvas.encodePng(png)) {
        error = "PNG encoding failed";
        return false;
    }
    return true;
}

} // namespace envlights
