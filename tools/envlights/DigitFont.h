#pragma once

// A 3 x 5 pixel font of the ten digits, enough to write a light's rank into a picture, the
// capitals A to Z and the signs . , - + : = % / ( ) that the pictures' labels and legends use.

#include <string>

namespace envlights {

class DigitFont {
public:
    static constexpr int glyphWidth = 3;  ///< font pixels
    static constexpr int glyphHeight = 5; ///< font pixels
    static constexpr int advance = 4;     ///< font pixels from one digit to the next

    /// Whether font pixel (x, y) of `character` is set; y = 0 is the glyph's top row. A
    /// character the font lacks (a space, say) and any position outside the glyph is unset.
    static bool isSet(char character, int x, int y);

    /// Width in font pixels of `text` (no trailing gap).
    static int textWidth(const std::string& text);
};

} // namespace envlights
