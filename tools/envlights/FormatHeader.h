#pragma once

// The lines every rendering format opens with, as comments or metadata: what made the file,
// from which pictures, turned how far, in which axes and at which scale.

#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

class FormatHeader {
public:
    /// Lines without comment markers or line ends, in printable ASCII (see plain()).
    static std::vector<std::string> lines(const std::vector<PhysicalReport>& reports,
                                          const FormatOptions& options, UpAxis up);

    /// The turn as the headers give it: "turned D degrees about the up axis (C columns) before
    /// extraction", D the shortest text of the asked angle, C its rounding to whole columns.
    static std::string turn(double rotateDeg, int width);

    /// `text` with every byte outside printable ASCII replaced by '?', so that it cannot end a
    /// comment line or break a file that wants ASCII or valid UTF-8.
    static std::string plain(const std::string& text);

    /// plain(text) in double quotes with '"' and '\\' escaped by a backslash: a string literal
    /// as Python and USD read it.
    static std::string quoted(const std::string& text);

    /// A light's region and solid angle as the comments give them.
    static std::string region(const Morvek::PhysicalLight& light);
};

} // namespace envlights
