#pragma once

#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// A Python script for Blender's bundled Python: it makes a collection "envlights" in the
/// current scene and, per light, a sun lamp named "<image stem> <rank>" turned so that its -Z
/// axis points along the light's direction in options.up axes (Z by default, Blender's own).
/// Its strength is the irradiance's largest component times options.irradianceScale (W/m^2),
/// its colour the irradiance over that component, and its angle the apex angle of a cone of
/// the region's solid angle. The numbers sit in one LIGHTS table the script loops over; the
/// header lines are its opening comments.
class BlenderWriter {
public:
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options);
};

} // namespace envlights
