#pragma once

#include "EnvironmentReport.h"

#include <string>
#include <vector>

namespace envlights {

/// An X3D 3.3 document in the XML encoding (Interchange profile). Its Scene holds one Group per
/// image, named by a MetadataString "envlights.image" carrying the image's path, with one
/// DirectionalLight per light (direction, color, global="true"), densest first. Floats are
/// written with the fewest digits that read back as the same 32-bit float.
class X3dWriter {
public:
    static std::string write(const std::vector<EnvironmentReport>& reports,
                             const std::string& generator);
};

} // namespace envlights
