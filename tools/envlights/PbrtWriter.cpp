#include "PbrtWriter.h"

#include "FloatText.h"
#include "FormatHeader.h"
#include "LightAxes.h"

namespace envlights {

namespace {

std::string list(const Vec3& v)
{
    return "[" + doubleText(v[0]) + " " + doubleText(v[1]) + " " + doubleText(v[2]) + "]";
}

} // namespace

std::string PbrtWriter::write(const std::vector<PhysicalReport>& reports,
                              const FormatOptions& options)
{
    const UpAxis up = options.up.value_or(UpAxis::Z);
    std::string out;
    for (const std::string& line : FormatHeader::lines(reports, options, up))
        out += "# " + line + "\n";
    for (const PhysicalReport& report : reports) {
        for (std::size_t k = 0; k < report.lights.size(); ++k) {
            const Morvek::PhysicalLight& light = report.lights[k];
            const Vec3& e = light.irradiance;
            const double s = options.irradianceScale;
            out += "# " + FormatHeader::plain(report.path) + " light " + std::to_string(k + 1) +
                   ": " + FormatHeader::region(light) + "\n";
            out += "LightSource \"distant\" \"point3 from\" [0 0 0] \"point3 to\" " +
                   list(LightAxes::convert(light.direction, up)) + " \"rgb L\" " +
                   list({e[0] * s, e[1] * s, e[2] * s}) + "\n";
        }
    }
    return out;
}

} // namespace envlights
