#pragma once

// One run of envlights: every image in order (or the built-in sky) through the method chosen,
// then the output and the pictures, written all together or not at all. Only the node method
// loads the lighting node pool.

#include "CommandLine.h"
#include "PhaseTimer.h"

#include <OpenSG/OSGImage.h>

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

    /// The overlay (or preview) file of image `index` (0-based) of `count`: `overlay` itself for
    /// a single image, otherwise "-<index+1>" inserted before its extension.
    static std::string overlayPath(const std::string& overlay, std::size_t index,
                                   std::size_t count);

private:
    /// Reads `path` (empty: makes the built-in sky) into `image`; a loader's note is a warning.
    bool decode(const std::string& path, PhaseTimer& timer, osg::ImagePtr& image,
                std::string& error);
    /// Checks the size, zeroes non-finite pixels (with a warning) and turns the environment.
    bool prepare(osg::ImagePtr image, const std::string& name, double rotateDeg, PhaseTimer& timer,
                 std::string& error);

    std::ostream& _out;
    std::ostream& _err;
    std::string _version;
};

} // namespace envlights
