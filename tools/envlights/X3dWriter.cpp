#include "X3dWriter.h"

#include "FloatText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <sstream>

namespace envlights {

namespace {

std::string vectorText(const std::array<float, 3>& v)
{
    return floatText(v[0]) + " " + floatText(v[1]) + " " + floatText(v[2]);
}

std::string vectorText(const std::array<double, 3>& v)
{
    return doubleText(v[0]) + " " + doubleText(v[1]) + " " + doubleText(v[2]);
}

// One MFString element: quoted, with '"' and '\' escaped by a backslash.
std::string mfString(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// The declaration, the X3D element and its head; returns the empty Scene.
pugi::xml_node startDocument(pugi::xml_document& doc, const FormatOptions& options)
{
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    doc.append_child(pugi::node_doctype)
        .set_value("X3D PUBLIC \"ISO//Web3D//DTD X3D 3.3//EN\" "
                   "\"http://www.web3d.org/specifications/x3d-3.3.dtd\"");

    pugi::xml_node x3d = doc.append_child("X3D");
    x3d.append_attribute("profile") = "Interchange";
    x3d.append_attribute("version") = "3.3";
    x3d.append_attribute("xmlns:xsd") = "http://www.w3.org/2001/XMLSchema-instance";
    x3d.append_attribute("xsd:noNamespaceSchemaLocation") =
        "http://www.web3d.org/specifications/x3d-3.3.xsd";
    pugi::xml_node meta = x3d.append_child("head").append_child("meta");
    meta.append_attribute("name") = "generator";
    meta.append_attribute("content") = options.generator.c_str();

    return x3d.append_child("Scene");
}

// The sentence that records --rotate.
std::string turnText(const FormatOptions& options)
{
    return "The environment was turned " + doubleText(options.rotateDeg) +
           " degrees about +Y, rounded to whole columns, before extraction.";
}

std::string saved(const pugi::xml_document& doc)
{
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

} // namespace

std::string X3dWriter::write(const std::vector<EnvironmentReport>& reports,
                             const FormatOptions& options)
{
    pugi::xml_document doc;
    pugi::xml_node scene = startDocument(doc, options);
    scene.append_child(pugi::node_comment).set_value((" " + turnText(options) + " ").c_str());
    for (const EnvironmentReport& report : reports) {
        pugi::xml_node group = scene.append_child("Group");
        pugi::xml_node name = group.append_child("MetadataString");
        name.append_attribute("containerField") = "metadata";
        name.append_attribute("name") = "envlights.image";
        name.append_attribute("value") = mfString(report.path).c_str();
        for (const ReportedLight& light : report.lights) {
            pugi::xml_node node = group.append_child("DirectionalLight");
            node.append_attribute("direction") = vectorText(light.direction).c_str();
            node.append_attribute("color") = vectorText(light.color).c_str();
            node.append_attribute("global") = "true";
        }
    }
    return saved(doc);
}

double X3dWriter::intensityScale(const std::vector<PhysicalReport>& reports)
{
    double brightest = 0.0;
    for (const PhysicalReport& report : reports)
        for (const Morvek::PhysicalLight& light : report.lights)
            brightest = std::max(brightest, colorIntensity(light.irradiance).intensity);
    return brightest > 1.0 ? 1.0 / brightest : 1.0;
}

std::string X3dWriter::write(const std::vector<PhysicalReport>& reports,
                             const FormatOptions& options)
{
    const double scale = intensityScale(reports);
    const std::string scaleText = doubleText(scale);
    pugi::xml_document doc;
    pugi::xml_node scene = startDocument(doc, options);
    const std::string note =
        " Intensities are irradiances (each light's largest component) times " + scaleText +
        " (envlights.intensityScale), so that none exceeds 1; " +
        "a light's irradiance is its color times its intensity / " + scaleText + ". " +
        turnText(options) + " ";
    scene.append_child(pugi::node_comment).set_value(note.c_str());
    for (const PhysicalReport& report : reports) {
        pugi::xml_node group = scene.append_child("Group");
        pugi::xml_node set = group.append_child("MetadataSet");
        set.append_attribute("containerField") = "metadata";
        set.append_attribute("name") = "envlights";
        pugi::xml_node name = set.append_child("MetadataString");
        name.append_attribute("containerField") = "value";
        name.append_attribute("name") = "envlights.image";
        name.append_attribute("value") = mfString(report.path).c_str();
        pugi::xml_node factor = set.append_child("MetadataDouble");
        factor.append_attribute("containerField") = "value";
        factor.append_attribute("name") = "envlights.intensityScale";
        factor.append_attribute("value") = scaleText.c_str();
        for (const Morvek::PhysicalLight& light : report.lights) {
            const ColorIntensity split = colorIntensity(light.irradiance);
            pugi::xml_node node = group.append_child("DirectionalLight");
            node.append_attribute("direction") = vectorText(light.direction).c_str();
            node.append_attribute("color") = vectorText(split.color).c_str();
            // The brightest light's product may round just above 1.
            node.append_attribute("intensity") =
                doubleText(std::min(1.0, split.intensity * scale)).c_str();
            node.append_attribute("global") = "true";
        }
    }
    return saved(doc);
}

} // namespace envlights
