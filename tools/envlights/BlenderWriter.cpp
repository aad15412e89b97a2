#include "BlenderWriter.h"

#include "FloatText.h"
#include "FormatHeader.h"
#include "LightAxes.h"

namespace envlights {

namespace {

std::string tuple(const Vec3& v)
{
    return "(" + doubleText(v[0]) + ", " + doubleText(v[1]) + ", " + doubleText(v[2]) + ")";
}

// The file name without folders and its last extension.
std::string stem(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

constexpr const char* body = R"(

def main():
    collection = bpy.data.collections.new("envlights")
    bpy.context.scene.collection.children.link(collection)
    for name, direction, color, strength, angle in LIGHTS:
        lamp = bpy.data.lights.new(name, type="SUN")
        lamp.color = color
        lamp.energy = strength
        lamp.angle = angle
        sun = bpy.data.objects.new(name, lamp)
        # A sun lamp shines along its local -Z axis.
        sun.rotation_mode = "QUATERNION"
        sun.rotation_quaternion = Vector(direction).to_track_quat("-Z", "Y")
        collection.objects.link(sun)


if __name__ == "__main__":
    import bpy
    from mathutils import Vector

    main()
)";

} // namespace

std::string BlenderWriter::write(const std::vector<PhysicalReport>& reports,
                                 const FormatOptions& options)
{
    const UpAxis up = options.up.value_or(UpAxis::Z);
    std::string out;
    for (const std::string& line : FormatHeader::lines(reports, options, up))
        out += "# " + line + "\n";
    out += "# Run in Blender: blender --python THIS_FILE, or from its Text Editor.\n\n"
           "# name, direction (where the light shines), color, strength (W/m^2), angle "
           "(radians)\nLIGHTS = [\n";
    for (const PhysicalReport& report : reports) {
        const std::string name = stem(report.path);
        for (std::size_t k = 0; k < report.lights.size(); ++k) {
            const Morvek::PhysicalLight& light = report.lights[k];
            const ColorIntensity split = colorIntensity(light.irradiance);
            out += "    # " + FormatHeader::region(light) + "\n";
            out += "    (" + FormatHeader::quoted(name + " " + std::to_string(k + 1)) + ", " +
                   tuple(LightAxes::convert(light.direction, up)) + ", " + tuple(split.color) +
                   ", " + doubleText(split.intensity * options.irradianceScale) + ", " +
                   doubleText(LightAxes::coneAngle(light.solidAngle)) + "),\n";
        }
    }
    return out + "]" + body;
}

} // namespace envlights
