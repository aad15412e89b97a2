// The output formats read back with independent parsers: every float must come back as the very
// same 32-bit float, every light in order, and the text must be well-formed. The recorded outputs
// pin all three formats on real images; these cases add what real images do not give: extreme
// floats, a path with characters to escape, several images, an image without lights.

#include "FloatText.h"
#include "JsonWriter.h"
#include "TableWriter.h"
#include "X3dWriter.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <gtest/gtest.h>

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
    const std::string x3d = X3dWriter::write(expected, "envlights 1.2.3");
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

} // namespace
