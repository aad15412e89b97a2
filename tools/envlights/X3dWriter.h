#pragma once

#include "EnvironmentReport.h"
#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

/// An X3D 3.3 document in the XML encoding (Interchange profile). Its Scene holds one Group per
/// image, named by a MetadataString "envlights.image" carrying the image's path, with one
/// DirectionalLight per light (direction, color, global="true"), densest first; a comment at
/// the top of the Scene gives options.rotateDeg, the turn the environment had before
/// extraction, and the head's generator meta is options.generator. Floats are
/// written with the fewest digits that read back as the same 32-bit float.
///
/// The physical method's results: each DirectionalLight also has an intensity. X3D keeps
/// intensities within [0, 1], so all the file's intensities (each light's largest irradiance
/// component) are multiplied by one factor, 1 / the largest of them when that exceeds 1 and 1
/// otherwise; a comment at the top of the Scene gives it, and each Group's metadata is a
/// MetadataSet "envlights" holding the MetadataString "envlights.image" and a MetadataDouble
/// "envlights.intensityScale" with the factor. A light's irradiance is its color times its
/// intensity over the factor. These numbers are written with the fewest digits that read back
/// as the same double.
class X3dWriter {
public:
    static std::string write(const std::vector<EnvironmentReport>& reports,
                             const FormatOptions& options);
    static std::string write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options);

    /// The factor described above for `reports`.
    static double intensityScale(const std::vector<PhysicalReport>& reports);
};

} // namespace envlights
