#include "MitsubaWriter.h"

#include "FloatText.h"
#include "FormatHeader.h"
#include "LightAxes.h"

#include <pugixml.hpp>

#include <sstream>

namespace envlights {

namespace {

// XML comments may not hold "--" nor end with '-'; line ends stay.
std::string commentText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c != '\n')
            c = FormatHeader::plain(std::string(1, c))[0];
        if (c == '-' && !out.empty() && out.back() == '-')
            out += ' ';
        out += c;
    }
    return " " + out + " ";
}

} // namespace

std::string MitsubaWriter::write(const std::vector<PhysicalReport>& reports,
                                 const FormatOptions& options)
{
    const UpAxis up = options.up.value_or(UpAxis::Z);
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    std::string header;
    for (const std::string& line : FormatHeader::lines(reports, options, up))
        header += "\n     " + FormatHeader::plain(line);
    doc.append_child(pugi::node_comment).set_value(commentText(header + "\n").c_str());
    pugi::xml_node scene = doc.append_child("scene");
    scene.append_attribute("version") = "3.0.0";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const PhysicalReport& report = reports[i];
        for (std::size_t k = 0; k < report.lights.size(); ++k) {
            const Morvek::PhysicalLight& light = report.lights[k];
            const std::string rank = std::to_string(k + 1);
            scene.append_child(pugi::node_comment)
                .set_value(commentText(FormatHeader::plain(report.path) + " light " + rank + ": " +
                                       FormatHeader::region(light))
                               .c_str());
            pugi::xml_node emitter = scene.append_child("emitter");
            emitter.append_attribute("type") = "directional";
            emitter.append_attribute("id") =
                ("envlights_" + std::to_string(i + 1) + "_" + rank).c_str();
            const Vec3 d = LightAxes::convert(light.direction, up);
            pugi::xml_node direction = emitter.append_child("vector");
            direction.append_attribute("name") = "direction";
            direction.append_attribute("x") = doubleText(d[0]).c_str();
            direction.append_attribute("y") = doubleText(d[1]).c_str();
            direction.append_attribute("z") = doubleText(d[2]).c_str();
            const Vec3& e = light.irradiance;
            const double s = options.irradianceScale;
            pugi::xml_node irradiance = emitter.append_child("rgb");
            irradiance.append_attribute("name") = "irradiance";
            irradiance.append_attribute("value") =
                (doubleText(e[0] * s) + ", " + doubleText(e[1] * s) + ", " + doubleText(e[2] * s))
                    .c_str();
        }
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

} // namespace envlights
