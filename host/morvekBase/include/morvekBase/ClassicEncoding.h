#pragma once

#include <string>
#include <vector>

namespace Morvek {

// Reading and writing field values in X3D classic encoding. White space and commas separate
// values; leading and trailing white space is allowed. Numbers must be finite and fill their
// token completely ("1.5x" is refused).
class ClassicEncoding {
public:
    // "TRUE" or "FALSE" (exact case).
    static bool parseBool(const char* text, bool& out);
    // A decimal (optional sign) or 0x-hexadecimal 32-bit integer.
    static bool parseInt32(const char* text, int& out);
    // Exactly `count` finite floats, each read with correct rounding.
    static bool parseFloats(const char* text, float* out, unsigned count);
    // One double-quoted string with \" and \\ escapes.
    static bool parseString(const char* text, std::string& out);
    // Quoted strings, optionally within [ ]; "" and "[]" are the empty list.
    static bool parseStrings(const char* text, std::vector<std::string>& out);

    // Shortest text that reads back to the same float.
    static std::string formatFloat(float value);
    static std::string quote(const std::string& text);
};

} // namespace Morvek
