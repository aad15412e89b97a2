// The output formats read back with independent parsers: every float must come back as the very
// same 32-bit float, every light in order, and the text must be well-formed. The recorded outputs
// pin all three formats on real images; these cases add what real images do not give: extreme
// floats, a path with characters to escape, several images, an image without lights. The
// physical method's results add doubles, colours and intensities split from irradiances, and
// the one intensity factor of an X3D file.

#include "FloatText.h"
#include "JsonWriter.h"
#include "TableWriter.h"
#include "X3dWriter.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

namespace {

using namespace envlights;

// Floats whose shortest decimal form needs 1 to 9 digits, and extreme ones.
const float floats[] = {0.1f,        1.0f / 3.0f,     -0.0f,          0.0625f,    16777218.0f,
                        1e-45f,      1.17549435e-38f, 3.4028235e38f,  -2.5f,      0.99999994f,
                        123456.789f, 7e-10f,          0.00024414062f, 13.1485815f};
constexpr std::size_t count = std::size(floats);

std::uint32_t bits(float f)
{
    std::uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

// One image whose lights cycle through floats, and one without lights.
std::vector<EnvironmentReport> reports()
{
    EnvironmentReport first{"dir/sky \"noon\" & <dusk>\\.exr", 1024, 512, {}, {}};
    for (std::size_t i = 0; i < count; ++i) {
        const auto f = [&](std::size_t k) { return floats[(i + k) % count]; };
        first.lights.push_back(
            {{f(0), f(1), f(2)}, {f(3), f(4), f(5)}, {int(i), int(2 * i), int(i) + 3, 1}});
        first.leaves.push_back(first.lights.back().region);
    }
    return {first, {"empty.hdr", 2, 2, {}, {{0, 0, 2, 2}}}};
}

TEST(WritersTest, FloatTextIsShortAndReadsBackExactly)
{
    for (float f : floats) {
        const std::string text = floatText(f);
        EXPECT_EQ(bits(std::strtof(text.c_str(), nullptr)), bits(f)) << text;
        EXPECT_EQ(bits(float(std::strtod(text.c_str(), nullptr))), bits(f))
            << text << " through double";
    }
    for (const auto& [value, text] : {std::pair{0.1f, "0.1"},
                                      {1.0f / 3.0f, "0.33333334"},
                                      {1e-45f, "1e-45"},
                                      {-0.0f, "-0"},
                                      {16777218.0f, "16777218"},
                                      {13.1485815f, "13.1485815"}})
        EXPECT_EQ(floatText(value), text);
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "-inf");
}

// Both formats hold the same lights in order, every float read back as the very same float.
TEST(WritersTest, JsonAndX3dReadBackBitForBitInOrder)
{
    const std::vector<EnvironmentReport> expected = reports();
    const std::string json = JsonWriter::write(expected);
    const nlohmann::json root = nlohmann::json::parse(json);
    EXPECT_LT(json.find("\"path\""), json.find("\"width\"")) << "keys in the documented order";
    EXPECT_LT(json.find("\"direction\""), json.find("\"color\""));
    FormatOptions named;
    named.generator = "envlights 1.2.3";
    const std::string x3d = X3dWriter::write(expected, named);
    EXPECT_EQ(x3d.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE X3D PUBLIC "
                        "\"ISO//Web3D//DTD X3D 3.3//EN\"",
                        0),
              0u);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(x3d.c_str()));
    EXPECT_STREQ(doc.child("X3D").attribute("profile").value(), "Interchange");
    EXPECT_STREQ(doc.child("X3D").child("head").child("meta").attribute("content").value(),
                 "envlights 1.2.3");
    auto rect = [](const PictureRect& r) {
        return nlohmann::json{{"x", r.x}, {"y", r.y}, {"width", r.width}, {"height", r.height}};
    };
    // The X3D path is one MFString element: '"' and '\' escaped by a backslash.
    const char* const x3dPaths[] = {"\"dir/sky \\\"noon\\\" & <dusk>\\\\.exr\"", "\"empty.hdr\""};
    ASSERT_EQ(root.at("images").size(), expected.size());
    auto group = doc.child("X3D").child("Scene").children("Group").begin();
    for (std::size_t r = 0; r < expected.size(); ++r, ++group) {
        const nlohmann::json& image = root["images"][r];
        EXPECT_EQ(image.at("path"), expected[r].path);
        EXPECT_EQ(image.at("width"), expected[r].width);
        EXPECT_EQ(image.at("height"), expected[r].height);
        ASSERT_EQ(image.at("leaves").size(), expected[r].leaves.size());
        for (std::size_t i = 0; i < expected[r].leaves.size(); ++i)
            EXPECT_EQ(image["leaves"][i], rect(expected[r].leaves[i]));
        ASSERT_NE(group, doc.child("X3D").child("Scene").children("Group").end());
        EXPECT_STREQ(group->child("MetadataString").attribute("value").value(), x3dPaths[r]);
        const auto x3dLights = group->children("DirectionalLight");
        ASSERT_EQ(std::size_t(std::distance(x3dLights.begin(), x3dLights.end())),
                  expected[r].lights.size());
        ASSERT_EQ(image.at("lights").size(), expected[r].lights.size());
        auto x3dLight = x3dLights.begin();
        for (std::size_t k = 0; k < expected[r].lights.size(); ++k, ++x3dLight) {
            const ReportedLight& light = expected[r].lights[k];
            EXPECT_EQ(image["lights"][k].at("region"), rect(light.region)) << k;
            EXPECT_STREQ(x3dLight->attribute("global").value(), "true");
            std::istringstream direction(x3dLight->attribute("direction").value()),
                color(x3dLight->attribute("color").value());
            for (int c = 0; c < 3; ++c) {
                std::string d, col;
                direction >> d;
                color >> col;
                EXPECT_EQ(bits(image["lights"][k].at("direction")[c].get<float>()),
                          bits(light.direction[c]))
                    << k;
                EXPECT_EQ(bits(image["lights"][k].at("color")[c].get<float>()),
                          bits(light.color[c]))
                    << k;
                EXPECT_EQ(bits(std::strtof(d.c_str(), nullptr)), bits(light.direction[c])) << d;
                EXPECT_EQ(bits(std::strtof(col.c_str(), nullptr)), bits(light.color[c])) << col;
            }
        }
    }
}

// The columns of a table row are pinned by the recorded outputs; here several images, the
// empty one in the singular and plural of its counts.
TEST(WritersTest, TableHasARowPerLightAndABlankLineBetweenImages)
{
    const std::vector<EnvironmentReport> expected = reports();
    std::istringstream in(TableWriter::write(expected));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), count + 4);
    EXPECT_EQ(lines[0], expected[0].path + ": 1024 x 512, " + std::to_string(count) +
                            " lights from " + std::to_string(count) + " regions");
    for (std::size_t k = 0; k < count; ++k)
        EXPECT_EQ(std::stoul(lines[2 + k]), k + 1) << lines[2 + k];
    EXPECT_EQ(lines[count + 2], "");
    EXPECT_EQ(lines.back(), "empty.hdr: 2 x 2, 0 lights from 1 region");
}

// Irradiances over a wide range: tiny, huge, black, one channel only.
std::vector<PhysicalReport> physicalReports()
{
    const std::array<double, 3> irradiances[] = {{2.5e4, 1.0 / 3.0, 0.1},
                                                 {0.0, 0.0, 0.0},
                                                 {4.9e-324, 1e-300, 2e-300},
                                                 {0.25, 0.5, 0.125},
                                                 {0.0, 7.0, 0.0}};
    PhysicalReport first{"dir/sky \"noon\".exr", 64, 32, {}, {0.1, 0.2, 0.3}, 0.0123};
    const double s = 1.0 / std::sqrt(3.0);
    for (std::size_t i = 0; i < std::size(irradiances); ++i)
        first.lights.push_back(
            {{s, -s, -s}, irradiances[i], 0.1 * double(i + 1), {int(i), 1, 2, 3}});
    PhysicalReport second{"dim.hdr", 2, 2, {}, {}, std::nullopt};
    second.lights.push_back({{0.0, -1.0, 0.0}, {0.5, 0.25, 0.75}, 4.0, {0, 0, 2, 2}});
    return {first, second};
}

TEST(WritersTest, DoubleTextIsShortAndReadsBackExactly)
{
    for (const auto& [value, text] : {std::pair{0.1, "0.1"},
                                      {1.0 / 3.0, "0.3333333333333333"},
                                      {-2.5, "-2.5"},
                                      {4.9e-324, "5e-324"},
                                      {1e300, "1e+300"},
                                      {123456.789, "123456.789"}}) {
        EXPECT_EQ(doubleText(value), text);
        EXPECT_EQ(std::strtod(doubleText(value).c_str(), nullptr), value) << text;
    }
}

TEST(WritersTest, PhysicalJsonHoldsEveryDoubleAndSplitsIrradiance)
{
    const std::vector<PhysicalReport> expected = physicalReports();
    const std::string text = JsonWriter::write(expected);
    const nlohmann::json root = nlohmann::json::parse(text);
    ASSERT_EQ(root.at("images").size(), 2u);
    const nlohmann::json& first = root["images"][0];
    const nlohmann::ordered_json ordered = nlohmann::ordered_json::parse(text);
    std::vector<std::string> keys;
    for (const auto& item : ordered["images"][0].items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"path", "width", "height", "rotateDegrees", "method",
                                              "totalIrradiance", "lights", "quality"}));
    EXPECT_EQ(first["method"], "physical");
    EXPECT_EQ(first["quality"], (nlohmann::json{{"irradianceError", 0.0123}}));
    EXPECT_FALSE(root["images"][1].contains("quality")) << "not measured";
    for (std::size_t r = 0; r < expected.size(); ++r) {
        const nlohmann::json& image = root["images"][r];
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(image["totalIrradiance"][c].get<double>(), expected[r].totalIrradiance[c]);
        ASSERT_EQ(image.at("lights").size(), expected[r].lights.size());
        for (std::size_t k = 0; k < expected[r].lights.size(); ++k) {
            const Morvek::PhysicalLight& light = expected[r].lights[k];
            const nlohmann::json& entry = image["lights"][k];
            const Morvek::PixelRect& g = light.region;
            EXPECT_EQ(
                entry.at("region"),
                (nlohmann::json{{"x", g.x}, {"y", g.y}, {"width", g.width}, {"height", g.height}}));
            EXPECT_EQ(entry.at("solidAngle").get<double>(), light.solidAngle);
            const double peak = *std::max_element(light.irradiance.begin(), light.irradiance.end());
            EXPECT_EQ(entry.at("intensity").get<double>(), peak) << k;
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(entry.at("direction")[c].get<double>(), light.direction[c]) << k;
                EXPECT_EQ(entry.at("irradiance")[c].get<double>(), light.irradiance[c]) << k;
                // Black stays black rather than 0 / 0.
                const double color = entry.at("color")[c].get<double>();
                EXPECT_EQ(color, peak > 0 ? light.irradiance[c] / peak : 0.0) << k;
                EXPECT_TRUE(color >= 0.0 && color <= 1.0) << k;
            }
        }
    }
}

TEST(WritersTest, PhysicalX3dScalesAllIntensitiesOfTheFileByOneFactor)
{
    const std::vector<PhysicalReport> bright = physicalReports();
    std::vector<PhysicalReport> dim = bright;
    dim[0].lights.erase(dim[0].lights.begin()); // the 2.5e4 light
    dim[0].lights.pop_back();                   // the 7: the brightest is 0.75, in the second image
    for (const auto& [reports, scale] : {std::pair{bright, 1.0 / 2.5e4}, {dim, 1.0}}) {
        SCOPED_TRACE(scale);
        EXPECT_EQ(X3dWriter::intensityScale(reports), scale);
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string(X3dWriter::write(reports, {}).c_str(),
                                    pugi::parse_default | pugi::parse_comments));
        const pugi::xml_node scene = doc.child("X3D").child("Scene");
        EXPECT_NE(std::string(scene.first_child().value()).find(doubleText(scale)),
                  std::string::npos)
            << "a comment at the top gives the factor";
        auto group = scene.children("Group").begin();
        double brightest = 0.0;
        for (const PhysicalReport& report : reports) {
            ASSERT_NE(group, scene.children("Group").end());
            const pugi::xml_node set = group->child("MetadataSet");
            EXPECT_STREQ(set.attribute("containerField").value(), "metadata");
            const std::string path =
                set.find_child_by_attribute("MetadataString", "name", "envlights.image")
                    .attribute("value")
                    .value();
            EXPECT_EQ(path,
                      &report == &reports[0] ? "\"dir/sky \\\"noon\\\".exr\"" : "\"dim.hdr\"");
            const pugi::xml_node factor =
                set.find_child_by_attribute("MetadataDouble", "name", "envlights.intensityScale");
            EXPECT_EQ(std::strtod(factor.attribute("value").value(), nullptr), scale);
            auto node = group->children("DirectionalLight").begin();
            for (const Morvek::PhysicalLight& light : report.lights) {
                ASSERT_NE(node, group->children("DirectionalLight").end());
                const double intensity = node->attribute("intensity").as_double();
                brightest = std::max(brightest, intensity);
                EXPECT_LE(intensity, 1.0);
                std::istringstream color(node->attribute("color").value());
                for (int c = 0; c < 3; ++c) {
                    double value = -1.0;
                    color >> value;
                    EXPECT_NEAR(value * intensity / scale, light.irradiance[c],
                                1e-15 * light.irradiance[c] + 1e-320)
                        << c;
                }
                ++node;
            }
            ++group;
        }
        EXPECT_EQ(brightest, scale == 1.0 ? 0.75 : 1.0);
    }
}

TEST(WritersTest, PhysicalTableNamesTheMethodAndTheError)
{
    std::istringstream in(TableWriter::write(physicalReports()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0],
              "dir/sky \"noon\".exr: 64 x 32, 5 lights (physical method), total irradiance (0.1, "
              "0.2, 0.3)");
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_EQ(std::stoul(lines[2 + k]), k + 1) << lines[2 + k];
    EXPECT_NE(lines[2].find("25000"), std::string::npos) << "the intensity: " << lines[2];
    EXPECT_EQ(lines[7], "irradiance error: 0.0123");
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9].rfind("dim.hdr: 2 x 2, 1 light (physical method)", 0), 0u) << lines[9];
    EXPECT_EQ(lines.back().find("irradiance error"), std::string::npos) << "not measured";
}

} // namespace
