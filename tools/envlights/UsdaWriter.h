#pragma once

#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// A USD layer in the text encoding: the stage's upAxis (options.up, Y by default, as USD's
/// own default), a default prim Xform "envlights" holding an Xform "image_<i>" per image (its
/// path, size and turn in `doc`), each holding one UsdLux DistantLight "light_<rank>" per light.
/// A DistantLight shines along its -Z axis: its xformOp:transform turns -Z onto the light's
/// direction in the stage's axes. inputs:color is the irradiance over its largest component,
/// inputs:intensity that component times options.irradianceScale, and inputs:angle (degrees)
/// the apex angle of a cone of the region's solid angle, so that shadows are as soft as the
/// source. The layer's `doc` holds the header lines.
class UsdaWriter {
public:
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options);
};

} // namespace envlights
