#include "GltfWriter.h"

#include "EnvironmentRotation.h"
#include "FormatHeader.h"
#include "LightAxes.h"

#include <nlohmann/json.hpp>

namespace envlights {

namespace {

using Json = nlohmann::ordered_json;

Json array(const std::array<double, 3>& v) { return Json::array({v[0], v[1], v[2]}); }

} // namespace

std::string GltfWriter::write(const std::vector<PhysicalReport>& reports,
                              const FormatOptions& options)
{
    Json header = Json::array();
    for (const std::string& line : FormatHeader::lines(reports, options, UpAxis::Y))
        header.push_back(line);
    Json root = Json::object();
    root["asset"] = {{"version", "2.0"},
                     {"generator", options.generator},
                     {"extras", {{"envlights", std::move(header)}}}};

    Json lights = Json::array();
    Json nodes = Json::array();
    Json roots = Json::array();
    // Image nodes first, so that a light's node index follows from the count of images.
    std::size_t next = reports.size();
    for (const PhysicalReport& report : reports) {
        Json node = Json::object();
        node["name"] = report.path;
        Json children = Json::array();
        for (std::size_t k = 0; k < report.lights.size(); ++k)
            children.push_back(next++);
        // glTF forbids empty arrays.
        if (!children.empty())
            node["children"] = std::move(children);
        node["extras"] = {
            {"width", report.width},
            {"height", report.height},
            {"rotateDegrees", options.rotateDeg},
            {"rotateColumns", EnvironmentRotation(options.rotateDeg).columnShift(report.width)}};
        roots.push_back(nodes.size());
        nodes.push_back(std::move(node));
    }
    for (const PhysicalReport& report : reports) {
        for (std::size_t k = 0; k < report.lights.size(); ++k) {
            const Morvek::PhysicalLight& light = report.lights[k];
            const ColorIntensity split = colorIntensity(light.irradiance);
            const std::string rank = std::to_string(k + 1);
            Json entry = Json::object();
            entry["name"] = report.path + " " + rank;
            entry["type"] = "directional";
            entry["color"] = array(split.color);
            entry["intensity"] = split.intensity * options.irradianceScale;
            const std::array<double, 4> q = LightAxes::quaternion(light.direction);
            Json node = Json::object();
            node["name"] = rank;
            node["rotation"] = Json::array({q[0], q[1], q[2], q[3]});
            node["extensions"] = {{"KHR_lights_punctual", {{"light", lights.size()}}}};
            node["extras"] = {
                {"solidAngle", light.solidAngle},
                {"region",
                 {light.region.x, light.region.y, light.region.width, light.region.height}}};
            lights.push_back(std::move(entry));
            nodes.push_back(std::move(node));
        }
    }
    if (!lights.empty()) {
        root["extensionsUsed"] = Json::array({"KHR_lights_punctual"});
        root["extensions"] = {{"KHR_lights_punctual", {{"lights", std::move(lights)}}}};
    }
    root["scene"] = 0;
    Json scene = Json::object();
    scene["name"] = "envlights";
    if (!roots.empty())
        scene["nodes"] = std::move(roots);
    root["scenes"] = Json::array({std::move(scene)});
    if (!nodes.empty())
        root["nodes"] = std::move(nodes);
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace envlights
