#pragma once

// One run of envlights: every image in order (or the built-in sky), then the output and the
// overlay pictures, written all together or not at all.

#include "CommandLine.h"

#include <ostream>
#include <string>

namespace envlights {

class EnvlightsApp {
public:
    /// Images above this size on a side do not fit the environment light's 16-bit tables.
    static constexpr int maxSide = 65535;

    EnvlightsApp(std::ostream& out, std::ostream& err, std::string version)
        : _out(out), _err(err), _version(std::move(version))
    {
    }

    /// Returns the exit status. Errors are one line each on `err`, starting "envlights: ".
    int run(const Options& options);

    /// The overlay file of image `index` (0-based) of `count`: `overlay` itself for a single
    /// image, otherwise "-<index+1>" inserted before its extension.
    static std::string overlayPath(const std::string& overlay, std::size_t index,
                                   std::size_t count);

private:
    std::ostream& _out;
    std::ostream& _err;
    std::string _version;
};

} // namespace envlights
