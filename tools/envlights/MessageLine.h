#pragma once

// The one shape of every line envlights writes to stderr: "envlights: " and the message, with
// control bytes (a newline in a channel name, an escape in a file name) written as \xNN, so
// that a line from a hostile file stays one harmless line.

#include <ostream>
#include <string>

namespace envlights {

class MessageLine {
public:
    static constexpr const char* prefix = "envlights: ";

    // `text` with every byte below 0x20 and 0x7f as \xNN (two lower-case hex digits).
    static std::string escape(const std::string& text);
    // Writes prefix, the escaped message and a newline.
    static void write(std::ostream& out, const std::string& message);
};

} // namespace envlights
