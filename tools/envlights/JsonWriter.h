#pragma once

#include "EnvironmentReport.h"
#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// {"images": [{"path": P, "width": W, "height": H, "rotateDegrees": D, "lights": [{"direction":
/// [x, y, z], "color": [r, g, b], "region": {"x": .., "y": .., "width": .., "height": ..}}, ...],
/// "leaves": [{"x": .., "y": .., "width": .., "height": ..}, ...]}, ...]}
/// Lights in the order of `_lights` (densest first); leaves are every region of the cut, ranked
/// by ascending density (so the lights' regions are the last ones, in reverse). Regions are in
/// picture pixels (see PictureRect). Every float is written with the fewest digits that read
/// back as the same 32-bit float (a non-finite one as null). Paths that are not valid UTF-8
/// get U+FFFD for their bad bytes. "rotateDegrees" is options.rotateDeg, the turn the
/// environment had before extraction (the lights' directions are in the turned world; regions
/// are as given, see FormatWriter).
///
/// The physical method's results: {"images": [{"path", "width", "height", "rotateDegrees",
/// "method": "physical",
/// "totalIrradiance": [r, g, b], "lights": [{"direction": [x, y, z], "irradiance": [r, g, b],
/// "color": [r, g, b], "intensity": I, "solidAngle": S, "region": {...}}, ...],
/// "quality": {"irradianceError": E}}, ...]}, the most powerful light first; "color" is the
/// irradiance over its largest component, "intensity" that component, and "quality" is there
/// only when measured. Every number is the shortest text that reads back as the same double.
class JsonWriter {
public:
    static std::string write(const std::vector<EnvironmentReport>& reports,
                             const FormatOptions& options = {});
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options = {});
};

} // namespace envlights
