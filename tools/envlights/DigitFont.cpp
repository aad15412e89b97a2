#include "DigitFont.h"

namespace envlights {

namespace {

// Row bits per digit, top row first; bit 2 is the left column.
constexpr unsigned char glyphs[10][5] = {
    {7, 5, 5, 5, 7}, // 0
    {2, 6, 2, 2, 7}, // 1
    {7, 1, 7, 4, 7}, // 2
    {7, 1, 7, 1, 7}, // 3
    {5, 5, 7, 1, 1}, // 4
    {7, 4, 7, 1, 7}, // 5
    {7, 4, 7, 5, 7}, // 6
    {7, 1, 2, 2, 2}, // 7
    {7, 5, 7, 5, 7}, // 8
    {7, 5, 7, 1, 7}, // 9
};

} // namespace

bool DigitFont::isSet(char digit, int x, int y)
{
    if (digit < '0' || digit > '9' || x < 0 || x >= glyphWidth || y < 0 || y >= glyphHeight)
        return false;
    return (glyphs[digit - '0'][y] >> (glyphWidth - 1 - x)) & 1u;
}

int DigitFont::textWidth(const std::string& text)
{
    return text.empty() ? 0 : static_cast<int>(text.size()) * advance - (advance - glyphWidth);
}

} // namespace envlights
