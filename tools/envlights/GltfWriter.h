#pragma once

#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// A glTF 2.0 JSON file (Y up, as glTF always is) with one KHR_lights_punctual directional
/// light per light: the scene holds one node per image (named by its path, with the image's
/// size and turn in `extras`), and each light's node is a child of it, named "<rank>", turned
/// so that its -Z axis points where the light shines. A light's `color` is its irradiance over
/// the largest component and its `intensity` that component times options.irradianceScale, in
/// lux: color times intensity is the scaled irradiance. The asset's `extras.envlights` gives
/// the header lines. Numbers are the shortest text that reads back as the same double.
class GltfWriter {
public:
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options);
};

} // namespace envlights
