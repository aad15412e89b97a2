#pragma once

// What every output format is given besides the lights: the format, the axes, the scale of
// the lights for rendering tools, the turn the environment had, and the program's name.

#include <optional>
#include <string>

namespace envlights {

enum class OutputFormat { Table, Json, X3d, Gltf, Usda, Pbrt, Mitsuba, Blender };

/// Which world axis is up in a written file. The lights are found with Y up; a Z-up file turns
/// them by +90 degrees about X, so (x, y, z) becomes (x, -z, y).
enum class UpAxis { Y, Z };

struct FormatOptions {
    /// Empty: the format's own convention (Y for table, JSON, X3D, glTF and USD; Z for pbrt,
    /// Mitsuba and Blender).
    std::optional<UpAxis> up;
    /// Multiplies the irradiances written by the rendering formats (glTF, USD, pbrt, Mitsuba,
    /// Blender): their unit per unit of image irradiance (radiance units times steradians).
    /// 1 takes the image as absolute: cd/m^2 pixels give lux in glTF and USD, W/(m^2 sr)
    /// pixels give W/m^2 in Blender, pbrt and Mitsuba.
    double irradianceScale = 1.0;
    double rotateDeg = 0.0; ///< the turn the environment had before extraction, degrees
    std::string generator;  ///< the program and its version, for the files' headers
};

} // namespace envlights
