#pragma once

#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// A Mitsuba 3 scene fragment (a `scene` element to include in another scene): the header
/// lines as a comment, then per light a comment with its image, rank, solid angle and region
/// and a `directional` emitter (id "envlights_<image>_<rank>") with its `direction` in
/// options.up axes (Z by default) and its `irradiance` times options.irradianceScale as `rgb`.
class MitsubaWriter {
public:
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options);
};

} // namespace envlights
