#include "MessageLine.h"

namespace envlights {

std::string MessageLine::escape(const std::string& text)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            out.push_back(c);
            continue;
        }
        out += "\\x";
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 15]);
    }
    return out;
}

void MessageLine::write(std::ostream& out, const std::string& message)
{
    out << prefix << escape(message) << '\n';
}

} // namespace envlights
