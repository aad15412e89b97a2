#include "UsdaWriter.h"

#include "FloatText.h"
#include "FormatHeader.h"
#include "LightAxes.h"

#include <cmath>

namespace envlights {

namespace {

constexpr double degreesPerRadian = 180.0 / 3.14159265358979323846;

std::string tuple(const Vec3& v, double w)
{
    return "(" + doubleText(v[0]) + ", " + doubleText(v[1]) + ", " + doubleText(v[2]) + ", " +
           doubleText(w) + ")";
}

} // namespace

std::string UsdaWriter::write(const std::vector<PhysicalReport>& reports,
                              const FormatOptions& options)
{
    const UpAxis up = options.up.value_or(UpAxis::Y);
    std::string doc;
    for (const std::string& line : FormatHeader::lines(reports, options, up))
        doc += (doc.empty() ? "" : "; ") + line;
    std::string out =
        "#usda 1.0\n(\n    defaultPrim = \"envlights\"\n    doc = " + FormatHeader::quoted(doc) +
        "\n    metersPerUnit = 1\n    upAxis = \"" + (up == UpAxis::Y ? "Y" : "Z") +
        "\"\n)\n\ndef Xform \"envlights\"\n{\n";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const PhysicalReport& report = reports[i];
        const std::string about = report.path + ", " + std::to_string(report.width) + " x " +
                                  std::to_string(report.height) + ", " +
                                  FormatHeader::turn(options.rotateDeg, report.width);
        out += (i ? "\n" : "") + std::string("    def Xform \"image_") + std::to_string(i + 1) +
               "\" (\n        doc = " + FormatHeader::quoted(about) + "\n    )\n    {\n";
        for (std::size_t k = 0; k < report.lights.size(); ++k) {
            const Morvek::PhysicalLight& light = report.lights[k];
            const ColorIntensity split = colorIntensity(light.irradiance);
            const std::array<Vec3, 3> f = LightAxes::frame(LightAxes::convert(light.direction, up));
            const double angle = LightAxes::coneAngle(light.solidAngle) * degreesPerRadian;
            out += (k ? "\n" : "") + std::string("        def DistantLight \"light_") +
                   std::to_string(k + 1) +
                   "\" (\n            doc = " + FormatHeader::quoted(FormatHeader::region(light)) +
                   "\n        )\n        {\n" +
                   "            float inputs:angle = " + doubleText(angle) + "\n" +
                   "            color3f inputs:color = (" + doubleText(split.color[0]) + ", " +
                   doubleText(split.color[1]) + ", " + doubleText(split.color[2]) + ")\n" +
                   "            float inputs:intensity = " +
                   doubleText(split.intensity * options.irradianceScale) + "\n" +
                   "            matrix4d xformOp:transform = ( " + tuple(f[0], 0.0) + ", " +
                   tuple(f[1], 0.0) + ", " + tuple(f[2], 0.0) + ", (0, 0, 0, 1) )\n" +
                   "            uniform token[] xformOpOrder = [\"xformOp:transform\"]\n" +
                   "        }\n";
        }
        out += "    }\n";
    }
    return out + "}\n";
}

} // namespace envlights
