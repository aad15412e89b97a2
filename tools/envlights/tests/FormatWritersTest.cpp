// The rendering formats read back with parsers of their own (tinygltf, pugixml, and small
// readers for USD, pbrt and the Blender script): every light where the axis table of the README
// says, with the numbers of the JSON output, and every file well-formed.

#include "EnvironmentRotation.h"
#include "FloatText.h"
#include "FormatWriter.h"
#include "LightAxes.h"

#include <morvekSampling/PhysicalExtraction.h>

#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <tiny_gltf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

using namespace envlights;
namespace fs = std::filesystem;

constexpr double pi = 3.14159265358979323846;

// A light as a file gives it back: where it shines in the file's axes, what it delivers (colour
// times intensity), and the angle of its source in radians (negative: the format has none).
struct ReadLight {
    Vec3 direction{};
    Vec3 irradiance{};
    double angle = -1.0;
};

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 rotate(const std::vector<double>& q, const Vec3& v)
{
    // v + 2w (u x v) + 2 u x (u x v), u the quaternion's vector part.
    const Vec3 u{q[0], q[1], q[2]};
    const auto cross = [](const Vec3& a, const Vec3& b) {
        return Vec3{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                    a[0] * b[1] - a[1] * b[0]};
    };
    const Vec3 t = cross(u, v);
    const Vec3 tt = cross(u, t);
    return {v[0] + 2.0 * (q[3] * t[0] + tt[0]), v[1] + 2.0 * (q[3] * t[1] + tt[1]),
            v[2] + 2.0 * (q[3] * t[2] + tt[2])};
}

std::vector<ReadLight> readGltf(const std::string& text)
{
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    std::string error, warning;
    const bool loaded = loader.LoadASCIIFromString(&model, &error, &warning, text.c_str(),
                                                   unsigned(text.size()), "");
    EXPECT_TRUE(loaded) << error << warning;
    EXPECT_EQ(error, "");
    std::vector<ReadLight> out;
    for (const tinygltf::Node& node : model.nodes) {
        const auto extension = node.extensions.find("KHR_lights_punctual");
        if (extension == node.extensions.end()) {
            EXPECT_TRUE(node.rotation.empty() && node.matrix.empty()) << "image nodes stay put";
            continue;
        }
        const int index = extension->second.Get("light").GetNumberAsInt();
        EXPECT_TRUE(index >= 0 && std::size_t(index) < model.lights.size()) << index;
        if (index < 0 || std::size_t(index) >= model.lights.size())
            continue;
        const tinygltf::Light& light = model.lights[std::size_t(index)];
        EXPECT_EQ(light.type, "directional");
        EXPECT_EQ(node.rotation.size(), 4u);
        if (node.rotation.size() != 4 || light.color.size() != 3)
            continue;
        ReadLight read;
        read.direction = rotate(node.rotation, {0.0, 0.0, -1.0});
        for (int c = 0; c < 3; ++c)
            read.irradiance[std::size_t(c)] = light.color[std::size_t(c)] * light.intensity;
        out.push_back(read);
    }
    // The lights come in the order of their nodes, which is the order of the light array.
    EXPECT_EQ(out.size(), model.lights.size());
    return out;
}

Vec3 numbers(const std::string& text)
{
    std::string spaced = text;
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    Vec3 v{};
    std::istringstream in(spaced);
    in >> v[0] >> v[1] >> v[2];
    EXPECT_TRUE(in) << "three numbers: " << text;
    return v;
}

std::vector<ReadLight> readUsda(const std::string& text)
{
    // Each DistantLight's body: angle (degrees), colour, intensity and a transform whose third
    // row, the light's Z axis, points against where it shines.
    const std::regex light(
        R"(def DistantLight "light_\d+" \(\s*doc = "(?:[^"\\]|\\.)*"\s*\)\s*\{\s*)"
        R"(float inputs:angle = (\S+)\s*)"
        R"(color3f inputs:color = \(([^)]*)\)\s*)"
        R"(float inputs:intensity = (\S+)\s*)"
        R"(matrix4d xformOp:transform = \( \(([^)]*)\), \(([^)]*)\), )"
        R"(\(([^)]*)\), \(0, 0, 0, 1\) \)\s*)"
        R"(uniform token\[\] xformOpOrder = \["xformOp:transform"\]\s*\})");
    std::vector<ReadLight> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), light);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        ReadLight read;
        read.angle = std::stod(m[1]) * pi / 180.0;
        const Vec3 color = numbers(m[2]);
        const double intensity = std::stod(m[3]);
        const Vec3 z = numbers(m[6]);
        for (std::size_t c = 0; c < 3; ++c) {
            read.irradiance[c] = color[c] * intensity;
            read.direction[c] = -z[c];
        }
        out.push_back(read);
    }
    std::size_t declared = 0;
    for (std::size_t at = text.find("def DistantLight"); at != std::string::npos;
         at = text.find("def DistantLight", at + 1))
        ++declared;
    EXPECT_EQ(out.size(), declared) << "every DistantLight read";
    return out;
}

std::vector<ReadLight> readPbrt(const std::string& text)
{
    const std::regex line(R"(LightSource "distant" "point3 from" \[0 0 0\] "point3 to" )"
                          R"(\[(\S+) (\S+) (\S+)\] "rgb L" \[(\S+) (\S+) (\S+)\])");
    std::vector<ReadLight> out;
    std::istringstream in(text);
    for (std::string row; std::getline(in, row);) {
        if (row.rfind("#", 0) == 0)
            continue;
        std::smatch m;
        EXPECT_TRUE(std::regex_match(row, m, line)) << "not a distant light: " << row;
        if (m.empty())
            continue;
        ReadLight read;
        for (std::size_t c = 0; c < 3; ++c) {
            read.direction[c] = std::stod(m[1 + c]);
            read.irradiance[c] = std::stod(m[4 + c]);
        }
        out.push_back(read);
    }
    return out;
}

std::vector<ReadLight> readMitsuba(const std::string& text)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_string(text.c_str());
    EXPECT_TRUE(parsed) << parsed.description();
    const pugi::xml_node scene = doc.child("scene");
    EXPECT_STREQ(scene.attribute("version").value(), "3.0.0");
    std::vector<ReadLight> out;
    for (const pugi::xml_node emitter : scene.children()) {
        EXPECT_STREQ(emitter.name(), "emitter");
        EXPECT_STREQ(emitter.attribute("type").value(), "directional");
        const pugi::xml_node d = emitter.find_child_by_attribute("vector", "name", "direction");
        ReadLight read;
        read.direction = {d.attribute("x").as_double(), d.attribute("y").as_double(),
                          d.attribute("z").as_double()};
        read.irradiance = numbers(emitter.find_child_by_attribute("rgb", "name", "irradiance")
                                      .attribute("value")
                                      .value());
        out.push_back(read);
    }
    return out;
}

std::vector<ReadLight> readBlender(const std::string& text)
{
    const std::regex entry(
        R"(\n    \("(?:[^"\\]|\\.)*", \(([^)]*)\), \(([^)]*)\), (\S+), (\S+)\),)");
    std::vector<ReadLight> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), entry);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        ReadLight read;
        read.direction = numbers(m[1]);
        const Vec3 color = numbers(m[2]);
        const double strength = std::stod(m[3]);
        for (std::size_t c = 0; c < 3; ++c)
            read.irradiance[c] = color[c] * strength;
        read.angle = std::stod(m[4]);
        out.push_back(read);
    }
    return out;
}

std::vector<ReadLight> readJson(const std::string& text)
{
    std::vector<ReadLight> out;
    const nlohmann::json root = nlohmann::json::parse(text);
    for (const auto& image : root.at("images"))
        for (const auto& light : image.at("lights")) {
            ReadLight read;
            for (std::size_t c = 0; c < 3; ++c) {
                read.direction[c] = light.at("direction")[c];
                read.irradiance[c] = light.at("irradiance")[c];
            }
            out.push_back(read);
        }
    return out;
}

std::vector<ReadLight> readX3d(const std::string& text)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(text.c_str()));
    std::vector<ReadLight> out;
    for (const pugi::xml_node group : doc.child("X3D").child("Scene").children("Group"))
        for (const pugi::xml_node light : group.children("DirectionalLight"))
            out.push_back({numbers(light.attribute("direction").value()), {}, -1.0});
    return out;
}

std::vector<ReadLight> readBack(OutputFormat format, const std::string& text)
{
    switch (format) {
    case OutputFormat::Json:
        return readJson(text);
    case OutputFormat::X3d:
        return readX3d(text);
    case OutputFormat::Gltf:
        return readGltf(text);
    case OutputFormat::Usda:
        return readUsda(text);
    case OutputFormat::Pbrt:
        return readPbrt(text);
    case OutputFormat::Mitsuba:
        return readMitsuba(text);
    case OutputFormat::Blender:
        return readBlender(text);
    case OutputFormat::Table:
        break;
    }
    ADD_FAILURE() << "no reader for " << FormatWriter::name(format);
    return {};
}

// One report from a picture given row by row from the top.
PhysicalReport extract(int width, int height, int lights,
                       const std::function<std::array<float, 3>(int, int)>& value)
{
    std::vector<float> rgb;
    for (int v = 0; v < height; ++v)
        for (int u = 0; u < width; ++u) {
            const std::array<float, 3> p = value(u, v);
            rgb.insert(rgb.end(), p.begin(), p.end());
        }
    const Morvek::RadianceImage image{rgb.data(), width, height, false};
    Morvek::PhysicalExtraction::Result result =
        Morvek::PhysicalExtraction::extract(image, {lights});
    EXPECT_TRUE(result.ok()) << result.error;
    PhysicalReport report;
    report.path = "synthetic.exr";
    report.width = width;
    report.height = height;
    report.lights = std::move(result.lights);
    report.totalIrradiance = result.totalIrradiance;
    return report;
}

// A convention as the README's axis table lists it.
struct Convention {
    OutputFormat format;
    std::optional<UpAxis> up;
    bool zUp; // the axes the format ends up in
    const char* name;
};

const Convention conventions[] = {
    {OutputFormat::Json, {}, false, "json"},
    {OutputFormat::X3d, {}, false, "x3d"},
    {OutputFormat::Gltf, {}, false, "gltf"},
    {OutputFormat::Usda, {}, false, "usda"},
    {OutputFormat::Usda, UpAxis::Z, true, "usda --up z"},
    {OutputFormat::Pbrt, {}, true, "pbrt"},
    {OutputFormat::Pbrt, UpAxis::Y, false, "pbrt --up y"},
    {OutputFormat::Mitsuba, {}, true, "mitsuba"},
    {OutputFormat::Blender, {}, true, "blender"},
    {OutputFormat::Blender, UpAxis::Y, false, "blender --up y"},
};

// A single bright pixel: its one light shines away from it, along minus the axis the README's
// table gives for that spot of the picture in each convention.
TEST(FormatWritersTest, ABrightPixelLightsFromWhereTheAxisTableSays)
{
    struct Spot {
        const char* name;
        int u, v;      // in a 64 x 32 picture, v from the top
        Vec3 facesYUp; // the axis the spot faces with Y up
        Vec3 facesZUp; // and with Z up
    };
    const Spot spots[] = {
        {"left edge", 0, 16, {1, 0, 0}, {1, 0, 0}},
        {"quarter column", 16, 16, {0, 0, 1}, {0, -1, 0}},
        {"centre column", 32, 16, {-1, 0, 0}, {-1, 0, 0}},
        {"three-quarter column", 48, 16, {0, 0, -1}, {0, 1, 0}},
        {"zenith", 20, 0, {0, 1, 0}, {0, 0, 1}},
        {"nadir", 40, 31, {0, -1, 0}, {0, 0, -1}},
    };
    for (const Spot& spot : spots) {
        const PhysicalReport report = extract(64, 32, 1, [&](int u, int v) {
            return u == spot.u && v == spot.v ? std::array<float, 3>{50, 40, 30}
                                              : std::array<float, 3>{0, 0, 0};
        });
        for (const Convention& convention : conventions) {
            SCOPED_TRACE(std::string(spot.name) + ", " + convention.name);
            FormatOptions options;
            options.up = convention.up;
            const std::vector<ReadLight> lights = readBack(
                convention.format, FormatWriter::write(convention.format, {report}, options));
            ASSERT_EQ(lights.size(), 1u);
            const Vec3& faces = convention.zUp ? spot.facesZUp : spot.facesYUp;
            // Half a pixel off the axis across and down at most: cos(pi / 64)^2 = 0.9976.
            EXPECT_LT(dot(lights[0].direction, faces), -0.997)
                << lights[0].direction[0] << " " << lights[0].direction[1] << " "
                << lights[0].direction[2];
        }
    }
}

// Every format gives the JSON's lights, in order, in its own axes, scaled, with the spread of
// each source, on a sky with a sun and several images.
TEST(FormatWritersTest, EveryFormatCarriesTheJsonNumbers)
{
    const PhysicalReport sky = extract(96, 48, 12, [](int u, int v) {
        const float sun = (u - 70) * (u - 70) + (v - 10) * (v - 10) < 5 ? 400.0f : 0.0f;
        return std::array<float, 3>{sun + 0.2f * float(48 - v), sun + 0.3f, sun + 0.01f * u};
    });
    const PhysicalReport one = extract(8, 4, 1, [](int, int) {
        return std::array<float, 3>{1, 2, 3};
    });
    const std::vector<PhysicalReport> reports{sky, one};
    FormatOptions json;
    json.rotateDeg = 30.0;
    const std::vector<ReadLight> expected =
        readJson(FormatWriter::write(OutputFormat::Json, reports, json));
    ASSERT_EQ(expected.size(), 13u);
    for (const Convention& convention : conventions) {
        if (convention.format == OutputFormat::Json || convention.format == OutputFormat::X3d)
            continue;
        SCOPED_TRACE(convention.name);
        FormatOptions options = json;
        options.up = convention.up;
        options.irradianceScale = 2.5;
        const std::vector<ReadLight> lights =
            readBack(convention.format, FormatWriter::write(convention.format, reports, options));
        ASSERT_EQ(lights.size(), expected.size());
        // glTF gives a rotation, which the brief lets drift by 1e-6; the others the numbers.
        const double directionTolerance = convention.format == OutputFormat::Gltf ? 1e-6 : 1e-15;
        for (std::size_t k = 0; k < lights.size(); ++k) {
            SCOPED_TRACE(k);
            const Vec3& yUp = expected[k].direction;
            const Vec3 want = convention.zUp ? Vec3{yUp[0], -yUp[2], yUp[1]} : yUp;
            const Morvek::PhysicalLight& source =
                k < sky.lights.size() ? sky.lights[k] : one.lights[k - sky.lights.size()];
            for (std::size_t c = 0; c < 3; ++c) {
                EXPECT_NEAR(lights[k].direction[c], want[c], directionTolerance) << c;
                EXPECT_NEAR(lights[k].irradiance[c], 2.5 * expected[k].irradiance[c],
                            1e-14 * expected[k].irradiance[c])
                    << c;
            }
            if (lights[k].angle >= 0.0) {
                // A round cone of that apex angle holds the region's solid angle, up to half
                // the sphere.
                const double held = 2.0 * pi * (1.0 - std::cos(lights[k].angle / 2.0));
                EXPECT_NEAR(held, std::min(source.solidAngle, 2.0 * pi), 1e-9);
            }
        }
    }
}

// Whatever the direction, the light's -Z is it within 1e-6 and its frame is a rotation: the
// axes, the two poles, the opposite of -Z and directions a hair from them.
TEST(FormatWritersTest, TheLightsFrameTurnsMinusZOntoEveryDirection)
{
    const double tiny = 1e-9;
    const Vec3 directions[] = {{1, 0, 0},    {-1, 0, 0},    {0, 1, 0},         {0, -1, 0},
                               {0, 0, 1},    {0, 0, -1},    {tiny, 0, 1},      {0, tiny, -1},
                               {tiny, 1, 0}, {0.6, 0, 0.8}, {-0.48, 0.6, 0.64}};
    for (Vec3 d : directions) {
        const double length = std::sqrt(dot(d, d));
        for (double& c : d)
            c /= length;
        SCOPED_TRACE(doubleText(d[0]) + " " + doubleText(d[1]) + " " + doubleText(d[2]));
        const std::array<double, 4> q = LightAxes::quaternion(d);
        const Vec3 got = rotate({q[0], q[1], q[2], q[3]}, {0, 0, -1});
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], d[c], 1e-12);
        const std::array<Vec3, 3> f = LightAxes::frame(d);
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                EXPECT_NEAR(dot(f[i], f[j]), i == j ? 1.0 : 0.0, 1e-12) << i << j;
        // Right-handed: X cross Y is Z.
        EXPECT_NEAR(f[0][0] * f[1][1] - f[0][1] * f[1][0], f[2][2], 1e-12);
    }
}

// A file of the rendering formats with two images, the second without lights, turned: tinygltf
// reads the glTF's structure, each file records the turn, and hostile paths break nothing.
TEST(FormatWritersTest, FilesRecordTheTurnAndSurviveHostilePaths)
{
    PhysicalReport sky = extract(32, 16, 3, [](int u, int v) {
        return std::array<float, 3>{float(u + 1), float(v + 1), 1.0f};
    });
    sky.path = "dir/sky \"noon\" -- \\ <&>\n\xc3\xa9\xff.exr";
    PhysicalReport dark = extract(4, 2, 0, [](int, int) { return std::array<float, 3>{}; });
    dark.path = "dark.hdr";
    const std::vector<PhysicalReport> reports{sky, dark};
    FormatOptions options;
    options.rotateDeg = -45.0;
    options.generator = "envlights 1.2.3";
    // -45 degrees of a 32-column picture: 28 columns left, of a 4-column one: 3.
    const std::string turned = "turned -45 degrees about the up axis (28 columns)";

    const std::string gltf = FormatWriter::write(OutputFormat::Gltf, reports, options);
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    std::string error, warning;
    ASSERT_TRUE(loader.LoadASCIIFromString(&model, &error, &warning, gltf.c_str(),
                                           unsigned(gltf.size()), ""))
        << error;
    EXPECT_EQ(model.asset.generator, "envlights 1.2.3");
    EXPECT_EQ(model.lights.size(), 3u);
    ASSERT_EQ(model.scenes.size(), 1u);
    ASSERT_EQ(model.scenes[0].nodes.size(), 2u);
    const tinygltf::Node& image = model.nodes[std::size_t(model.scenes[0].nodes[0])];
    // As in the JSON output, bytes that are not UTF-8 become U+FFFD.
    const std::string utf8 = "dir/sky \"noon\" -- \\ <&>\n\xc3\xa9\xef\xbf\xbd.exr";
    EXPECT_EQ(image.name, utf8);
    EXPECT_EQ(image.children.size(), 3u);
    EXPECT_TRUE(model.nodes[std::size_t(model.scenes[0].nodes[1])].children.empty());
    EXPECT_EQ(image.extras.Get("rotateDegrees").GetNumberAsDouble(), -45.0);
    EXPECT_EQ(image.extras.Get("rotateColumns").GetNumberAsInt(), 28);
    for (std::size_t k = 0; k < 3; ++k) {
        const tinygltf::Light& light = model.lights[k];
        EXPECT_EQ(light.name, utf8 + " " + std::to_string(k + 1));
        EXPECT_EQ(light.intensity,
                  std::max({sky.lights[k].irradiance[0], sky.lights[k].irradiance[1],
                            sky.lights[k].irradiance[2]}));
        for (double c : light.color)
            EXPECT_TRUE(c >= 0.0 && c <= 1.0) << "glTF colours stay within [0, 1]";
    }
    EXPECT_NE(gltf.find(turned), std::string::npos) << "the header lines in asset.extras";

    for (const OutputFormat format :
         {OutputFormat::Usda, OutputFormat::Pbrt, OutputFormat::Mitsuba, OutputFormat::Blender}) {
        SCOPED_TRACE(FormatWriter::name(format));
        const std::string text = FormatWriter::write(format, reports, options);
        EXPECT_NE(text.find(turned), std::string::npos);
        EXPECT_NE(text.find("image: dark.hdr, 4 x 2, 0 lights, turned -45 degrees about the up "
                            "axis (3 columns)"),
                  std::string::npos);
        EXPECT_EQ(readBack(format, text).size(), 3u);
        EXPECT_EQ(text.find('\xff'), std::string::npos) << "plain ASCII throughout";
    }
    EXPECT_EQ(nlohmann::json::parse(FormatWriter::write(OutputFormat::Json, reports, options))
                  .at("images")[1]
                  .at("rotateDegrees"),
              -45.0);
    EXPECT_NE(FormatWriter::write(OutputFormat::X3d, reports, options)
                  .find("turned -45 degrees about +Y"),
              std::string::npos);
    EXPECT_NE(FormatWriter::write(OutputFormat::Table, reports, options)
                  .find("(physical method), total irradiance (0, 0, 0), turned -45 degrees\n"),
              std::string::npos);
}

// The Blender script is Python that compiles, whatever the path, and a quoted name survives.
TEST(FormatWritersTest, TheBlenderScriptCompiles)
{
    PhysicalReport sky = extract(16, 8, 2, [](int u, int) {
        return std::array<float, 3>{float(u), 1.0f, 2.0f};
    });
    sky.path = "a/\"quoted\" \\ name\n\xc3\xa9.hdr";
    const fs::path dir =
        fs::temp_directory_path() / ("morvek-blender-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "lights.py";
    {
        std::ofstream out(file);
        out << FormatWriter::write(OutputFormat::Blender, {sky}, {});
    }
    // The compiled file goes to the scratch folder, not next to other people's.
    const std::string command =
        "PYTHONPYCACHEPREFIX='" + dir.string() + "' python3 -m py_compile '" + file.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("(\"\\\"quoted\\\" \\\\ name??? 1\", "), std::string::npos)
        << "named by the file's stem and the rank";
    fs::remove_all(dir);
}

// Regions come back to the original picture: the turn moved columns left, the output moves
// them right again, and a region that then passes the right edge keeps its width.
TEST(FormatWritersTest, RegionsAreGivenInTheOriginalPicture)
{
    struct Row {
        double degrees;
        Morvek::PixelRect turned, original;
    };
    const Row rows[] = {
        {0.0, {5, 1, 10, 3}, {5, 1, 10, 3}},
        {90.0, {5, 1, 10, 3}, {21, 1, 10, 3}},   // 16 columns
        {90.0, {50, 0, 10, 32}, {2, 0, 10, 32}}, // back past the right edge
        {-90.0, {5, 1, 10, 3}, {53, 1, 10, 3}},  // 48 columns: runs on to column 62
        {-90.0, {10, 1, 20, 3}, {58, 1, 20, 3}}, // wraps: columns 58 to 63, then 0 to 13
        {720.0, {0, 0, 64, 32}, {0, 0, 64, 32}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.degrees);
        const Morvek::PixelRect got =
            EnvironmentRotation(row.degrees).originalRegion(row.turned, 64);
        EXPECT_EQ(got.x, row.original.x);
        EXPECT_EQ(got.y, row.original.y);
        EXPECT_EQ(got.width, row.original.width);
        EXPECT_EQ(got.height, row.original.height);
    }

    // Through the dispatch, for both methods' reports.
    PhysicalReport physical;
    physical.width = 64;
    physical.height = 32;
    physical.lights.push_back({{1, 0, 0}, {1, 1, 1}, 4 * pi, {50, 0, 14, 32}});
    EnvironmentReport node{"n.exr",
                           64,
                           32,
                           {{{1, 0, 0}, {1, 1, 1}, {50, 0, 14, 32}}},
                           {{0, 0, 50, 32}, {50, 0, 14, 32}}};
    FormatOptions options;
    options.rotateDeg = 90.0;
    const auto physicalJson =
        nlohmann::json::parse(FormatWriter::write(OutputFormat::Json, {physical}, options));
    EXPECT_EQ(physicalJson["images"][0]["lights"][0]["region"]["x"], 2);
    const auto nodeJson =
        nlohmann::json::parse(FormatWriter::write(OutputFormat::Json, {node}, options));
    EXPECT_EQ(nodeJson["images"][0]["lights"][0]["region"]["x"], 2);
    EXPECT_EQ(nodeJson["images"][0]["leaves"][0]["x"], 16);
    EXPECT_EQ(nodeJson["images"][0]["rotateDegrees"], 90.0);
}

} // namespace
