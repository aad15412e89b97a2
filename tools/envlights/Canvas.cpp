#include "Canvas.h"

#include "DigitFont.h"

#include <stb_image_write.h>

#include <cmath>

namespace envlights {

namespace {

void appendBytes(void* context, void* data, int size)
{
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

} // namespace

Canvas::Canvas(int width, int height)
    : _width(width), _height(height), _pixels(static_cast<std::size_t>(width) * height * 3)
{
}

void Canvas::set(int x, int y, Rgb c)
{
    if (x < 0 || y < 0 || x >= _width || y >= _height)
        return;
    std::uint8_t* p = &_pixels[3 * (static_cast<std::size_t>(y) * _width + x)];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void Canvas::fill(int x0, int y0, int x1, int y1, Rgb c)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            set(x, y, c);
}

void Canvas::outline(int x0, int y0, int x1, int y1, Rgb c)
{
    fill(x0, y0, x1, y0, c);
    fill(x0, y1, x1, y1, c);
    fill(x0, y0, x0, y1, c);
    fill(x1, y0, x1, y1, c);
}

void Canvas::ring(int cx, int cy, double inner, double outer, Rgb c)
{
    const int reach = static_cast<int>(std::ceil(outer));
    for (int y = cy - reach; y <= cy + reach; ++y)
        for (int x = cx - reach; x <= cx + reach; ++x) {
            const double distance = std::hypot(double(x - cx), double(y - cy));
            if (distance >= inner && distance <= outer)
                set(x, y, c);
        }
}

void Canvas::text(const std::string& text, int x, int y, int scale, Rgb color)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        for (int gy = 0; gy < DigitFont::glyphHeight; ++gy)
            for (int gx = 0; gx < DigitFont::glyphWidth; ++gx)
                if (DigitFont::isSet(text[i], gx, gy)) {
                    const int ox = x + (static_cast<int>(i) * DigitFont::advance + gx) * scale;
                    const int oy = y + gy * scale;
                    fill(ox, oy, ox + scale - 1, oy + scale - 1, color);
                }
}

bool Canvas::encodePng(int width, int height, const std::vector<std::uint8_t>& rgb,
                       std::string& png)
{
    png.clear();
    if (stbi_write_png_to_func(&appendBytes, &png, width, height, 3, rgb.data(), width * 3))
        return true;
    png.clear();
    return false;
}

std::uint8_t Canvas::encodeSrgb(double linear)
{
    if (!(linear > 0.0))
        return 0;
    if (linear >= 1.0)
        return 255;
    const double v =
        linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(v * 255.0));
}

} // namespace envlights
