#include "DigitFont.h"

namespace envlights {

namespace {

// Row bits per glyph, top row first; bit 2 is the left column.
constexpr unsigned char digits[10][5] = {
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

// The signs and the capitals of the pictures' labels and legends. O is rounder than 0 and S
// has corners unlike 5, so that words and numbers stay apart.
struct Glyph {
    char character;
    unsigned char rows[5];
};
constexpr Glyph others[] = {
    {'.', {0, 0, 0, 0, 2}}, {'-', {0, 0, 7, 0, 0}}, {'+', {0, 2, 7, 2, 0}}, {',', {0, 0, 0, 2, 4}},
    {':', {0, 2, 0, 2, 0}}, {'=', {0, 7, 0, 7, 0}}, {'%', {5, 1, 2, 4, 5}}, {'/', {1, 1, 2, 4, 4}},
    {'(', {1, 2, 2, 2, 1}}, {')', {4, 2, 2, 2, 4}}, {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}},
    {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}},
    {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}}, {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}},
    {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}},
    {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}}, {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}},
    {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}}, {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}},
    {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}}, {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}},
};

const unsigned char* glyphOf(char c)
{
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    for (const Glyph& glyph : others)
        if (glyph.character == c)
            return glyph.rows;
    return nullptr;
}

} // namespace

bool DigitFont::isSet(char character, int x, int y)
{
    const unsigned char* glyph = glyphOf(character);
    if (glyph == nullptr || x < 0 || x >= glyphWidth || y < 0 || y >= glyphHeight)
        return false;
    return (glyph[y] >> (glyphWidth - 1 - x)) & 1u;
}

int DigitFont::textWidth(const std::string& text)
{
    return text.empty() ? 0 : static_cast<int>(text.size()) * advance - (advance - glyphWidth);
}

} // namespace envlights
