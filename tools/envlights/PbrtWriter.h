#pragma once

#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// pbrt-v4 scene lines to put in a WorldBegin block: the header lines as comments, then per
/// light a comment with its image, rank, solid angle and region and one
/// `LightSource "distant" "point3 from" [0 0 0] "point3 to" [x y z] "rgb L" [r g b]`, shining
/// from `from` toward `to` in options.up axes (Z by default). L is the irradiance times
/// options.irradianceScale.
class PbrtWriter {
public:
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options);
};

} // namespace envlights
