#pragma once

// The one place that turns reports into an output format's text, for the command line and for
// anything else that writes envlights' outputs.

#include "EnvironmentReport.h"
#include "FormatOptions.h"
#include "PhysicalReport.h"

#include <string>
#include <vector>

namespace envlights {

class FormatWriter {
public:
    /// The text of `format` for the physical method's reports. The reports' regions are in the
    /// turned picture (the one the lights were found in); the text gives them in the original
    /// picture's pixels, options.rotateDeg turned back (see EnvironmentRotation).
    static std::string write(OutputFormat format, std::vector<PhysicalReport> reports,
                             const FormatOptions& options);

    /// The same for the node method's reports; only the formats for which
    /// carriesNodeLights() holds.
    static std::string write(OutputFormat format, std::vector<EnvironmentReport> reports,
                             const FormatOptions& options);

    /// The file name extension of `format`, with its dot (".txt", ".json", ".gltf", ...).
    static const char* extension(OutputFormat format);

    /// The name --format takes ("table", "gltf", ...).
    static const char* name(OutputFormat format);

    /// False for the formats whose lights need irradiances, which the node's normalised
    /// colours are not.
    static bool carriesNodeLights(OutputFormat format);

    /// True when the format's axes are fixed to Y up (table, JSON, X3D, glTF).
    static bool alwaysYUp(OutputFormat format);

    /// True for the formats whose irradiances options.irradianceScale multiplies.
    static bool scalesIrradiance(OutputFormat format);
};

} // namespace envlights
