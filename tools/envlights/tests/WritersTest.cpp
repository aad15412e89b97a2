// The three output formats, read back with independent parsers: every float must come back as
// the very same 32-bit float, every light in order, and the text must be well-formed.

#include "FloatText.h"
#include "JsonWriter.h"
#include "TableWriter.h"
#include "X3dWriter.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

namespace {

using namespace envlights;

// Floats whose shortest decimal form needs from 1 to 9 digits, and extreme ones.
const float kTrickyFloats[] = {0.1f,      1.0f / 3.0f, -0.0f,      0.0625f,  16777216.0f,
                               16777218.0f, 1e-45f,    1.17549435e-38f, 3.4028235e38f, -2.5f,
                               0.00024414062f, 0.99999994f, 100.0f, 123456.789f, 7e-10f};

std::uint32_t bits(float f)
{
    std::uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

std::vector<EnvironmentReport> sampleReports()
{
    EnvironmentReport first;
    first.path = "dir/sky \"noon\" & <dusk>.exr";
    first.width = 1024;
    first.height = 512;
    const std::size_t n = std::size(kTrickyFloats);
    for (std::size_t i = 0; i < n; ++i) {
        ReportedLight light;
        light.direction = {kTrickyFloats[i], kTrickyFloats[(i + 1) % n], kTrickyFloats[(i + 2) % n]};
        light.color = {kTrickyFloats[(i + 3) % n], kTrickyFloats[(i + 4) % n], kTrickyFloats[(i + 5) % n]};
        light.region = {static_cast<int>(i), static_cast<int>(2 * i), 3 + static_cast<int>(i), 1};
        first.lights.push_back(light);
        first.leaves.push_back(light.region);
    }
    EnvironmentReport second;
    second.path = "empty.hdr";
    second.width = 2;
    second.height = 2;
    second.leaves.push_back({0, 0, 2, 2});
    return {first, second};
}

TEST(FloatTextTest, ShortestTextThatReadsBack)
{
    for (float f : kTrickyFloats) {
        const std::string text = floatText(f);
        EXPECT_EQ(bits(std::strtof(text.c_str(), nullptr)), bits(f)) << text;
    }
    const std::pair<float, const char*> shortest[] = {
        {0.1f, "0.1"}, {0.0625f, "0.0625"}, {1.0f / 3.0f, "0.33333334"}, {-2.5f, "-2.5"},
        {16777216.0f, "16777216"}, {1e-45f, "1e-45"}, {-0.0f, "-0"}};
    for (const auto& [value, text] : shortest)
        EXPECT_EQ(floatText(value), text);
    EXPECT_EQ(floatText(std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "-inf");
}

TEST(JsonWriterTest, ReadsBackBitForBitInOrder)
{
    const std::vector<EnvironmentReport> reports = sampleReports();
    const std::string text = JsonWriter::write(reports);
    const nlohmann::json root = nlohmann::json::parse(text);  // throws on malformed text
    ASSERT_EQ(root.at("images").size(), 2u);
    for (std::size_t r = 0; r < reports.size(); ++r) {
        const nlohmann::json& image = root["images"][r];
        EXPECT_EQ(image.at("path"), reports[r].path);
        EXPECT_EQ(image.at("width"), reports[r].width);
        EXPECT_EQ(image.at("height"), reports[r].height);
        ASSERT_EQ(image.at("lights").size(), reports[r].lights.size());
        for (std::size_t k = 0; k < reports[r].lights.size(); ++k) {
            const ReportedLight& expected = reports[r].lights[k];
            const nlohmann::json& light = image["lights"][k];
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(bits(light.at("direction")[c].get<float>()), bits(expected.direction[c]))
                    << "light " << k << " direction " << c << ": " << light["direction"][c].dump();
                EXPECT_EQ(bits(light.at("color")[c].get<float>()), bits(expected.color[c]))
                    << "light " << k << " color " << c;
            }
            EXPECT_EQ(light.at("region").at("x"), expected.region.x);
            EXPECT_EQ(light.at("region").at("y"), expected.region.y);
            EXPECT_EQ(light.at("region").at("width"), expected.region.width);
            EXPECT_EQ(light.at("region").at("height"), expected.region.height);
        }
        ASSERT_EQ(image.at("leaves").size(), reports[r].leaves.size());
        for (std::size_t i = 0; i < reports[r].leaves.size(); ++i) {
            const PictureRect& leaf = reports[r].leaves[i];
            EXPECT_EQ(image["leaves"][i], (nlohmann::json{{"x", leaf.x}, {"y", leaf.y}, {"width", leaf.width},
                                                          {"height", leaf.height}}))
                << "leaf " << i;
        }
    }
    // Keys in the documented order.
    EXPECT_LT(text.find("\"path\""), text.find("\"width\""));
    EXPECT_LT(text.find("\"width\""), text.find("\"lights\""));
    EXPECT_LT(text.find("\"direction\""), text.find("\"color\""));
}

TEST(X3dWriterTest, ParsesAndHoldsTheSameLights)
{
    const std::vector<EnvironmentReport> reports = sampleReports();
    const std::string text = X3dWriter::write(reports, "envlights 1.2.3");
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find("<!DOCTYPE X3D PUBLIC \"ISO//Web3D//DTD X3D 3.3//EN\""), std::string::npos);

    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_string(text.c_str(), pugi::parse_default | pugi::parse_doctype);
    ASSERT_TRUE(parsed) << parsed.description();
    const pugi::xml_node x3d = doc.child("X3D");
    EXPECT_STREQ(x3d.attribute("profile").value(), "Interchange");
    EXPECT_STREQ(x3d.attribute("version").value(), "3.3");
    EXPECT_STREQ(x3d.child("head").child("meta").attribute("content").value(), "envlights 1.2.3");

    std::size_t r = 0;
    for (pugi::xml_node group : x3d.child("Scene").children("Group")) {
        ASSERT_LT(r, reports.size());
        const EnvironmentReport& report = reports[r++];
        // The path, quoted as an MFString element: escape '"' and '\' by a backslash.
        std::string quoted = "\"";
        for (char c : report.path)
            quoted += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
        EXPECT_EQ(group.child("MetadataString").attribute("value").value(), quoted + "\"");

        std::size_t k = 0;
        for (pugi::xml_node light : group.children("DirectionalLight")) {
            ASSERT_LT(k, report.lights.size());
            const ReportedLight& expected = report.lights[k++];
            EXPECT_STREQ(light.attribute("global").value(), "true");
            std::istringstream direction(light.attribute("direction").value());
            std::istringstream color(light.attribute("color").value());
            for (int c = 0; c < 3; ++c) {
                std::string d, col;
                direction >> d;
                color >> col;
                EXPECT_EQ(bits(std::strtof(d.c_str(), nullptr)), bits(expected.direction[c])) << d;
                EXPECT_EQ(bits(std::strtof(col.c_str(), nullptr)), bits(expected.color[c])) << col;
            }
        }
        EXPECT_EQ(k, report.lights.size());
    }
    EXPECT_EQ(r, reports.size());
}

TEST(TableWriterTest, OneAlignedRowPerLight)
{
    const std::vector<EnvironmentReport> reports = sampleReports();
    const std::string text = TableWriter::write(reports);
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);

    const std::size_t n = reports[0].lights.size();
    ASSERT_GE(lines.size(), n + 2);
    EXPECT_EQ(lines[0], reports[0].path + ": 1024 x 512, " + std::to_string(n) + " lights from " +
                            std::to_string(n) + " regions");
    // Rows start with their rank and put the direction's opening bracket in one column.
    const std::size_t bracket = lines[2].find('(');
    for (std::size_t k = 0; k < n; ++k) {
        const std::string& row = lines[2 + k];
        EXPECT_EQ(std::stoul(row), k + 1) << row;
        EXPECT_EQ(row.find('('), bracket) << row;
        const PictureRect& region = reports[0].lights[k].region;
        const std::string regionText = "(" + std::to_string(region.x) + ", " + std::to_string(region.y) +
                                       ", " + std::to_string(region.width) + ", " +
                                       std::to_string(region.height) + ")";
        EXPECT_EQ(row.substr(row.size() - regionText.size()), regionText) << row;
    }
    EXPECT_EQ(lines.back(), "empty.hdr: 2 x 2, 0 lights from 1 region");
}

}  // namespace
