#pragma once

// An RGB8 picture to draw the tool's pictures on (the overlay, the preview), row 0 at the top,
// with text in DigitFont, the sRGB curve and PNG encoding.

#include <cstdint>
#include <string>
#include <vector>

namespace envlights {

struct Rgb {
    std::uint8_t r, g, b;
};

class Canvas {
public:
    /// Black, `width` x `height` pixels.
    Canvas(int width, int height);

    int width() const { return _width; }
    int height() const { return _height; }
    /// Three bytes a pixel, rows from the top.
    std::vector<std::uint8_t>& pixels() { return _pixels; }
    const std::vector<std::uint8_t>& pixels() const { return _pixels; }

    /// Writes outside the picture are dropped.
    void set(int x, int y, Rgb c);
    void fill(int x0, int y0, int x1, int y1, Rgb c); ///< inclusive corners
    void outline(int x0, int y0, int x1, int y1, Rgb c);
    /// The pixels whose centres lie from `inner` to `outer` pixels from (cx, cy).
    void ring(int cx, int cy, double inner, double outer, Rgb c);
    /// `text` in DigitFont, each font pixel `scale` pixels wide; (x, y) is its top left corner.
    void text(const std::string& text, int x, int y, int scale, Rgb color);

    /// The picture as a PNG file's bytes; false if encoding failed.
    bool encodePng(std::string& png) const { return encodePng(_width, _height, _pixels, png); }
    static bool encodePng(int width, int height, const std::vector<std::uint8_t>& rgb,
                          std::string& png);

    /// A linear value in [0, 1] through the sRGB curve to a byte; below 0 (or NaN) gives 0.
    static std::uint8_t encodeSrgb(double linear);

private:
    int _width;
    int _height;
    std::vector<std::uint8_t> _pixels;
};

} // namespace envlights
