#include "JsonWriter.h"

#include "FloatText.h"

#include <nlohmann/json.hpp>

#include <cstdlib>

namespace envlights {

namespace {

// Keys in the documented order.
using Json = nlohmann::ordered_json;

// The double nearest to the float's short text: the serializer writes it back as that text (or
// a shorter one that reads as the same double), and that reads back as the same float.
double shortDouble(float value) { return std::strtod(floatText(value).c_str(), nullptr); }

Json triple(const std::array<float, 3>& v)
{
    return Json::array({shortDouble(v[0]), shortDouble(v[1]), shortDouble(v[2])});
}

Json triple(const std::array<double, 3>& v) { return Json::array({v[0], v[1], v[2]}); }

template <class Rect> Json rect(const Rect& r)
{
    Json out = Json::object();
    out["x"] = r.x;
    out["y"] = r.y;
    out["width"] = r.width;
    out["height"] = r.height;
    return out;
}

std::string document(Json images)
{
    Json root = Json::object();
    root["images"] = std::move(images);
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace

std::string JsonWriter::write(const std::vector<EnvironmentReport>& reports,
                              const FormatOptions& options)
{
    Json images = Json::array();
    for (const EnvironmentReport& report : reports) {
        Json lights = Json::array();
        for (const ReportedLight& light : report.lights) {
            Json entry = Json::object();
            entry["direction"] = triple(light.direction);
            entry["color"] = triple(light.color);
            entry["region"] = rect(light.region);
            lights.push_back(std::move(entry));
        }
        Json leaves = Json::array();
        for (const PictureRect& leaf : report.leaves)
            leaves.push_back(rect(leaf));
        Json image = Json::object();
        image["path"] = report.path;
        image["width"] = report.width;
        image["height"] = report.height;
        image["rotateDegrees"] = options.rotateDeg;
        image["lights"] = std::move(lights);
        image["leaves"] = std::move(leaves);
        images.push_back(std::move(image));
    }
    return document(std::move(images));
}

std::string JsonWriter::write(const std::vector<PhysicalReport>& reports,
                              const FormatOptions& options)
{
    Json images = Json::array();
    for (const PhysicalReport& report : reports) {
        Json lights = Json::array();
        for (const Morvek::PhysicalLight& light : report.lights) {
            const ColorIntensity split = colorIntensity(light.irradiance);
            Json entry = Json::object();
            entry["direction"] = triple(light.direction);
            entry["irradiance"] = triple(light.irradiance);
            entry["color"] = triple(split.color);
            entry["intensity"] = split.intensity;
            entry["solidAngle"] = light.solidAngle;
            entry["region"] = rect(light.region);
            lights.push_back(std::move(entry));
        }
        Json image = Json::object();
        image["path"] = report.path;
        image["width"] = report.width;
        image["height"] = report.height;
        image["rotateDegrees"] = options.rotateDeg;
        image["method"] = "physical";
        image["totalIrradiance"] = triple(report.totalIrradiance);
        image["lights"] = std::move(lights);
        if (report.irradianceError)
            image["quality"] = Json::object({{"irradianceError", *report.irradianceError}});
        images.push_back(std::move(image));
    }
    return document(std::move(images));
}

} // namespace envlights
