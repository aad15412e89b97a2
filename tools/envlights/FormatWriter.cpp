#include "FormatWriter.h"

#include "BlenderWriter.h"
#include "EnvironmentRotation.h"
#include "GltfWriter.h"
#include "JsonWriter.h"
#include "MitsubaWriter.h"
#include "PbrtWriter.h"
#include "TableWriter.h"
#include "UsdaWriter.h"
#include "X3dWriter.h"

namespace envlights {

std::string FormatWriter::write(OutputFormat format, std::vector<PhysicalReport> reports,
                                const FormatOptions& options)
{
    const EnvironmentRotation rotation(options.rotateDeg);
    for (PhysicalReport& report : reports)
        for (Morvek::PhysicalLight& light : report.lights)
            light.region = rotation.originalRegion(light.region, report.width);
    switch (format) {
    case OutputFormat::Table:
        return TableWriter::write(reports, options);
    case OutputFormat::Json:
        return JsonWriter::write(reports, options);
    case OutputFormat::X3d:
        return X3dWriter::write(reports, options);
    case OutputFormat::Gltf:
        return GltfWriter::write(reports, options);
    case OutputFormat::Usda:
        return UsdaWriter::write(reports, options);
    case OutputFormat::Pbrt:
        return PbrtWriter::write(reports, options);
    case OutputFormat::Mitsuba:
        return MitsubaWriter::write(reports, options);
    case OutputFormat::Blender:
        return BlenderWriter::write(reports, options);
    }
    return {};
}

std::string FormatWriter::write(OutputFormat format, std::vector<EnvironmentReport> reports,
                                const FormatOptions& options)
{
    const EnvironmentRotation rotation(options.rotateDeg);
    for (EnvironmentReport& report : reports) {
        for (ReportedLight& light : report.lights)
            light.region = rotation.originalRegion(light.region, report.width);
        for (PictureRect& leaf : report.leaves)
            leaf = rotation.originalRegion(leaf, report.width);
    }
    switch (format) {
    case OutputFormat::Table:
        return TableWriter::write(reports, options);
    case OutputFormat::Json:
        return JsonWriter::write(reports, options);
    case OutputFormat::X3d:
        return X3dWriter::write(reports, options);
    default:
        return {};
    }
}

const char* FormatWriter::extension(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Table:
        return ".txt";
    case OutputFormat::Json:
        return ".json";
    case OutputFormat::X3d:
        return ".x3d";
    case OutputFormat::Gltf:
        return ".gltf";
    case OutputFormat::Usda:
        return ".usda";
    case OutputFormat::Pbrt:
        return ".pbrt";
    case OutputFormat::Mitsuba:
        return ".xml";
    case OutputFormat::Blender:
        return ".py";
    }
    return "";
}

const char* FormatWriter::name(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Table:
        return "table";
    case OutputFormat::Json:
        return "json";
    case OutputFormat::X3d:
        return "x3d";
    case OutputFormat::Gltf:
        return "gltf";
    case OutputFormat::Usda:
        return "usda";
    case OutputFormat::Pbrt:
        return "pbrt";
    case OutputFormat::Mitsuba:
        return "mitsuba";
    case OutputFormat::Blender:
        return "blender";
    }
    return "";
}

bool FormatWriter::carriesNodeLights(OutputFormat format)
{
    return format == OutputFormat::Table || format == OutputFormat::Json ||
           format == OutputFormat::X3d;
}

bool FormatWriter::alwaysYUp(OutputFormat format)
{
    return carriesNodeLights(format) || format == OutputFormat::Gltf;
}

bool FormatWriter::scalesIrradiance(OutputFormat format) { return !carriesNodeLights(format); }

} // namespace envlights
