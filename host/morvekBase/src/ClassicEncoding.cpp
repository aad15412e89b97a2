#include <morvekBase/ClassicEncoding.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string_view>

namespace Morvek {

namespace {

// X3D classic encoding treats commas as white space.
bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == ',';
}

// Views into `text`, which outlives them: parsing a field's value copies no characters.
std::vector<std::string_view> tokens(const char* text)
{
    std::vector<std::string_view> out;
    out.reserve(4); // the widest fixed-size value, an SFRotation
    const char* p = text;
    while (*p) {
        while (*p && isSeparator(*p))
            ++p;
        const char* start = p;
        while (*p && !isSeparator(*p))
            ++p;
        if (p != start)
            out.emplace_back(start, std::size_t(p - start));
    }
    return out;
}

bool parseFloatToken(std::string_view token, float& out)
{
    const char* first = token.data();
    const char* last = first + token.size();
    // from_chars takes no leading '+'; X3D numbers may carry one.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    float value = 0.f;
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

// Reads one quoted string starting at *p == '"'; advances p past the closing quote.
bool readQuoted(const char*& p, std::string& out)
{
    if (*p != '"')
        return false;
    ++p;
    out.clear();
    while (*p && *p != '"') {
        if (*p == '\\') {
            ++p;
            if (!*p)
                return false;
        }
        out += *p++;
    }
    if (*p != '"')
        return false;
    ++p;
    return true;
}

const char* skipSeparators(const char* p)
{
    while (*p && isSeparator(*p))
        ++p;
    return p;
}

} // namespace

bool ClassicEncoding::parseBool(const char* text, bool& out)
{
    if (!text)
        return false;
    const auto parts = tokens(text);
    if (parts.size() != 1)
        return false;
    if (parts[0] == "TRUE") {
        out = true;
        return true;
    }
    if (parts[0] == "FALSE") {
        out = false;
        return true;
    }
    return false;
}

bool ClassicEncoding::parseInt32(const char* text, int& out)
{
    if (!text)
        return false;
    const auto parts = tokens(text);
    if (parts.size() != 1)
        return false;
    const std::string_view token = parts[0];
    const char* first = token.data();
    const char* last = first + token.size();
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    int base = 10;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        base = 16;
        first += 2;
    }
    if (first == last || *first == '+' || *first == '-')
        return false;
    long long magnitude = 0;
    const auto result = std::from_chars(first, last, magnitude, base);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT_MIN || value > INT_MAX)
        return false;
    out = int(value);
    return true;
}

bool ClassicEncoding::parseFloats(const char* text, float* out, unsigned count)
{
    if (!text)
        return false;
    const auto parts = tokens(text);
    if (parts.size() != count)
        return false;
    // `out` changes only when every token reads; up to four values need no heap.
    float small[4];
    std::vector<float> large(count > 4 ? count : 0);
    float* values = count > 4 ? large.data() : small;
    for (unsigned i = 0; i < count; ++i)
        if (!parseFloatToken(parts[i], values[i]))
            return false;
    for (unsigned i = 0; i < count; ++i)
        out[i] = values[i];
    return true;
}

bool ClassicEncoding::parseString(const char* text, std::string& out)
{
    if (!text)
        return false;
    const char* p = skipSeparators(text);
    std::string value;
    if (!readQuoted(p, value))
        return false;
    if (*skipSeparators(p))
        return false;
    out = value;
    return true;
}

bool ClassicEncoding::parseStrings(const char* text, std::vector<std::string>& out)
{
    if (!text)
        return false;
    const char* p = skipSeparators(text);
    const bool bracketed = *p == '[';
    if (bracketed)
        p = skipSeparators(p + 1);
    std::vector<std::string> values;
    while (*p && *p != ']') {
        std::string value;
        if (!readQuoted(p, value))
            return false;
        values.push_back(value);
        p = skipSeparators(p);
    }
    if (bracketed) {
        if (*p != ']')
            return false;
        p = skipSeparators(p + 1);
    }
    if (*p)
        return false;
    out = values;
    return true;
}

std::string ClassicEncoding::formatFloat(float value)
{
    // Shortest text that reads back to the same float, fixed or exponent form, whichever is
    // shorter ("300", "0.001", "1e-45").
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string ClassicEncoding::quote(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace Morvek
