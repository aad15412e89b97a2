// Runs the built envlights program on the shared HDRIs and on tiny files written here, and reads
// its output back with independent parsers (nlohmann-json, pugixml, stb_image).

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>

#include <stb_image.h>
#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr double kPi = 3.14159265358979323846;
const char* const kHdris[] = {"courtyard.exr", "forest.exr", "interior.exr", "sunrise.exr", "sunset.exr"};

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<std::string> errLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

std::string readText(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class EnvlightsEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        _dir = fs::temp_directory_path() /
               ("morvek-envlights-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(_dir);
        fs::create_directories(_dir);
    }
    void TearDown() override { fs::remove_all(_dir); }

    std::string path(const std::string& name) const { return (_dir / name).string(); }
    static std::string hdri(const std::string& name)
    {
        const std::string file = std::string(MORVEK_HDRI_DIR) + "/" + name;
        EXPECT_TRUE(fs::is_regular_file(file)) << "missing shared HDRI " << file;
        return file;
    }

    // Runs envlights with `args`, standard output and error caught in files.
    Outcome run(const std::vector<std::string>& args) const
    {
        const std::string outFile = path(".stdout");
        const std::string errFile = path(".stderr");
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(err, 2);
            std::vector<char*> argv;
            std::string program = ENVLIGHTS_EXECUTABLE;
            argv.push_back(program.data());
            std::vector<std::string> copies(args);
            for (std::string& arg : copies)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        Outcome result;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = readText(outFile);
        result.err = readText(errFile);
        fs::remove(outFile);
        fs::remove(errFile);
        return result;
    }

    // RGB float EXR, `value(x, y)` with y = 0 the picture's top row.
    void writeExr(const std::string& file, int width, int height,
                  const std::function<std::array<float, 3>(int, int)>& value,
                  const std::vector<const char*>& channels = {"R", "G", "B"}) const
    {
        Imf::Header header(width, height);
        for (const char* name : channels)
            header.channels().insert(name, Imf::Channel(Imf::FLOAT));
        std::vector<float> rgb(static_cast<std::size_t>(width) * height * 3);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::array<float, 3> v = value(x, y);
                std::copy(v.begin(), v.end(), rgb.begin() + 3 * (static_cast<std::ptrdiff_t>(y) * width + x));
            }
        Imf::FrameBuffer frame;
        for (std::size_t c = 0; c < channels.size(); ++c)
            frame.insert(channels[c], Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(rgb.data() + c),
                                                 3 * sizeof(float), 3 * sizeof(float) * width));
        Imf::OutputFile out(file.c_str(), header);
        out.setFrameBuffer(frame);
        out.writePixels(height);
    }

    fs::path _dir;
};

std::array<double, 3> vec(const json& value) { return {value[0].get<double>(), value[1].get<double>(), value[2].get<double>()}; }

double length(const std::array<double, 3>& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// The shine direction the lighting node pool documents for data pixel (u, v) of a W x H image.
std::array<double, 3> shineDirection(double u, double v, double width, double height)
{
    const double phi = 2.0 * kPi * (1.0 - u / width) - kPi / 2.0;
    const double theta = kPi * v / height;
    return {std::sin(phi) * std::sin(theta), std::cos(theta), std::cos(phi) * std::sin(theta)};
}

// Invariants every result must keep: the leaves tile the picture exactly once; there are as
// many lights as requested, or as leaves when fewer; the lights' regions are the densest leaves
// (the last ones, in reverse); each light's peak colour is 1/k and its direction unit length.
// Returns the number of lights.
std::size_t expectLightProperties(const json& image, std::size_t requested, const std::string& name)
{
    SCOPED_TRACE(name);
    const int width = image.at("width");
    const int height = image.at("height");
    const json& leaves = image.at("leaves");
    std::vector<int> cover(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (const json& leaf : leaves) {
        const int x = leaf.at("x"), y = leaf.at("y"), w = leaf.at("width"), h = leaf.at("height");
        EXPECT_TRUE(x >= 0 && y >= 0 && w >= 1 && h >= 1 && x + w <= width && y + h <= height) << leaf.dump();
        for (int row = std::max(y, 0); row < std::min(y + h, height); ++row)
            for (int column = std::max(x, 0); column < std::min(x + w, width); ++column)
                ++cover[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)];
    }
    EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), static_cast<std::ptrdiff_t>(cover.size()))
        << "every pixel in exactly one leaf";

    const json& lights = image.at("lights");
    const std::size_t k = std::min(requested, leaves.size());
    EXPECT_EQ(lights.size(), k);
    for (std::size_t j = 0; j < std::min(k, lights.size()); ++j) {
        const std::array<double, 3> color = vec(lights[j].at("color"));
        const double peak = std::max({color[0], color[1], color[2]});
        EXPECT_NEAR(peak, 1.0 / static_cast<double>(k), 1e-6 / static_cast<double>(k)) << "light " << j;
        EXPECT_NEAR(length(vec(lights[j].at("direction"))), 1.0, 1e-5) << "light " << j;
        EXPECT_EQ(lights[j].at("region"), leaves[leaves.size() - 1 - j]) << "light " << j;
    }
    return lights.size();
}

TEST_F(EnvlightsEndToEndTest, BuiltInSkyGivesSixteenLightsTheDensestFromTheSun)
{
    const Outcome table = run({});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.err, "");
    EXPECT_EQ(table.out.rfind("<built-in sky>: 1024 x 512, 16 lights from 16 regions\n", 0), 0u) << table.out;

    const Outcome result = run({"--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const json root = json::parse(result.out);
    ASSERT_EQ(root.at("images").size(), 1u);
    const json& image = root["images"][0];
    EXPECT_EQ(image.at("path"), "<built-in sky>");
    expectLightProperties(image, 16, "sky");
    // The sun is 40 degrees up, between -X and -Z: its light shines down toward +X, +Z.
    const std::array<double, 3> sun = vec(image["lights"][0]["direction"]);
    EXPECT_NEAR(sun[0], 0.5417, 0.02);
    EXPECT_NEAR(sun[1], -0.6428, 0.02);
    EXPECT_NEAR(sun[2], 0.5417, 0.02);

    // Turned by 90 degrees counterclockwise seen from above, it shines toward +X, -Z.
    const Outcome turned = run({"--format", "json", "--rotate", "90"});
    ASSERT_EQ(turned.status, 0) << turned.err;
    const std::array<double, 3> turnedSun = vec(json::parse(turned.out)["images"][0]["lights"][0]["direction"]);
    EXPECT_NEAR(turnedSun[0], 0.5417, 0.02);
    EXPECT_NEAR(turnedSun[1], -0.6428, 0.02);
    EXPECT_NEAR(turnedSun[2], -0.5417, 0.02);
}

TEST_F(EnvlightsEndToEndTest, SharedHdrisGiveTheRequestedLightsInJsonAndX3d)
{
    for (const char* name : kHdris) {
        for (int count : {1, 3, 16, 64}) {
            const std::string trace = std::string(name) + " with " + std::to_string(count) + " lights";
            SCOPED_TRACE(trace);
            const Outcome jsonRun = run({hdri(name), "-n", std::to_string(count), "--format", "json"});
            ASSERT_EQ(jsonRun.status, 0) << jsonRun.err;
            const json image = json::parse(jsonRun.out).at("images").at(0);
            EXPECT_EQ(image.at("path"), hdri(name));
            EXPECT_EQ(image.at("width"), 1024);
            EXPECT_EQ(image.at("height"), 512);
            const std::size_t made = expectLightProperties(image, static_cast<std::size_t>(count), trace);
            if (count == 1) {
                const json& region = image["lights"][0]["region"];
                EXPECT_EQ(region, (json{{"x", 0}, {"y", 0}, {"width", 1024}, {"height", 512}})) << "one light: the whole image";
            }

            const Outcome x3dRun = run({hdri(name), "--lights", std::to_string(count), "--format", "x3d"});
            ASSERT_EQ(x3dRun.status, 0) << x3dRun.err;
            pugi::xml_document doc;
            ASSERT_TRUE(doc.load_string(x3dRun.out.c_str()));
            std::size_t k = 0;
            for (pugi::xml_node light : doc.child("X3D").child("Scene").child("Group").children("DirectionalLight")) {
                ASSERT_LT(k, image["lights"].size());
                std::istringstream direction(light.attribute("direction").value());
                std::istringstream color(light.attribute("color").value());
                for (int c = 0; c < 3; ++c) {
                    float d = 0, col = 0;
                    direction >> d;
                    color >> col;
                    EXPECT_EQ(d, image["lights"][k]["direction"][c].get<float>()) << "light " << k;
                    EXPECT_EQ(col, image["lights"][k]["color"][c].get<float>()) << "light " << k;
                }
                EXPECT_STREQ(light.attribute("global").value(), "true");
                ++k;
            }
            EXPECT_EQ(k, made);
        }
    }
}

TEST_F(EnvlightsEndToEndTest, SmallFilesThroughTheBytePathAndTheFloatPath)
{
    // A 2 x 2 grey PNG cut for 8 lights ends in four one-pixel leaves: four lights at 1/4.
    const unsigned char grey[12] = {128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128};
    ASSERT_TRUE(stbi_write_png(path("grey.png").c_str(), 2, 2, 3, grey, 6));
    Outcome result = run({path("grey.png"), "-n", "8", "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err;
    expectLightProperties(json::parse(result.out)["images"][0], 4, "2 x 2 grey");

    // A 64 x 32 byte picture, dim but for one bright pixel at picture column 40, picture row 6.
    // Its densest light comes from a region holding that pixel.
    std::vector<unsigned char> bytes(64 * 32 * 3, 3);
    std::fill_n(bytes.begin() + 3 * (6 * 64 + 40), 3, 255);
    ASSERT_TRUE(stbi_write_png(path("spot.png").c_str(), 64, 32, 3, bytes.data(), 64 * 3));
    result = run({path("spot.png"), "-n", "4", "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err;
    json image = json::parse(result.out)["images"][0];
    expectLightProperties(image, 4, "spot");
    const json& densest = image["lights"][0]["region"];
    const int x = densest["x"], y = densest["y"], w = densest["width"], h = densest["height"];
    EXPECT_TRUE(40 >= x && 40 < x + w && 6 >= y && 6 < y + h) << densest.dump();

    // On black, a single light comes from the bright pixel itself: the energy median of the
    // whole picture is that pixel, data row 32 - 1 - 6 = 25 since data row 0 is the bottom.
    std::fill(bytes.begin(), bytes.end(), 0);
    std::fill_n(bytes.begin() + 3 * (6 * 64 + 40), 3, 255);
    ASSERT_TRUE(stbi_write_png(path("star.png").c_str(), 64, 32, 3, bytes.data(), 64 * 3));
    result = run({path("star.png"), "-n", "1", "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::array<double, 3> expected = shineDirection(40, 25, 64, 32);
    const std::array<double, 3> got = vec(json::parse(result.out)["images"][0]["lights"][0]["direction"]);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(got[c], expected[c], 1e-5) << "component " << c;

    // Several images, in order; non-finite pixels are zeroed with one warning.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    writeExr(path("broken.exr"), 8, 4, [&](int px, int py) -> std::array<float, 3> {
        if (px == 1 && py == 1)
            return {nan, 1, 1};
        if (px == 2 && py == 3)
            return {inf, inf, inf};
        if (px == 5 && py == 0)
            return {0, -inf, 0};
        return {0.5f, 0.25f, float(px)};
    });
    result = run({path("broken.exr"), path("grey.png"), "--format", "json", "-n", "2"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "envlights: warning: " + path("broken.exr") +
                              ": 3 pixels were not finite (NaN or infinity) and were set to 0\n");
    const json root = json::parse(result.out);
    ASSERT_EQ(root["images"].size(), 2u);
    EXPECT_EQ(root["images"][0]["path"], path("broken.exr"));
    EXPECT_EQ(root["images"][1]["path"], path("grey.png"));
    expectLightProperties(root["images"][0], 2, "broken.exr");
}

TEST_F(EnvlightsEndToEndTest, OverlayAndOutputFiles)
{
    const Outcome result = run({hdri("sunrise.exr"), "-n", "8", "--overlay", path("sunrise.png"), "-o",
                            path("lights.json"), "--format", "json", "--timings"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "") << "the lights went to the file";
    const json image = json::parse(readText(path("lights.json")))["images"][0];
    expectLightProperties(image, 8, "sunrise.exr");
    for (const char* phase : {"load plug-in", "decode", "node creation", "tables, cut and lights", "overlay", "output"})
        EXPECT_NE(result.err.find(phase), std::string::npos) << "no timing for " << phase << ":\n" << result.err;

    int width = 0, height = 0, channels = 0;
    unsigned char* png = stbi_load(path("sunrise.png").c_str(), &width, &height, &channels, 3);
    ASSERT_NE(png, nullptr) << stbi_failure_reason();
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 512);
    // Yellow outlines belong to the lights' leaves only, and most of each long outline shows
    // (marks of other lights may cover some of it).
    auto yellow = [&](int x, int y) {
        const unsigned char* p = png + 3 * (y * width + x);
        return p[0] == 255 && p[1] == 210 && p[2] == 0;
    };
    std::vector<bool> onOutline(static_cast<std::size_t>(width) * height);
    for (const json& light : image["lights"]) {
        const int x = light["region"]["x"], y = light["region"]["y"];
        const int w = light["region"]["width"], h = light["region"]["height"];
        int shown = 0, perimeter = 0;
        for (int py = y; py < y + h; ++py)
            for (int px = x; px < x + w; ++px)
                if (px == x || py == y || px == x + w - 1 || py == y + h - 1) {
                    onOutline[static_cast<std::size_t>(py) * width + px] = true;
                    shown += yellow(px, py);
                    ++perimeter;
                }
        if (perimeter >= 100) {
            EXPECT_GT(shown, perimeter / 2) << light["region"].dump();
        }
    }
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px)
            if (yellow(px, py)) {
                ASSERT_TRUE(onOutline[static_cast<std::size_t>(py) * width + px]) << "stray yellow at " << px << ", " << py;
            }
    stbi_image_free(png);

    // With two images the overlays are numbered.
    const Outcome two = run({hdri("sunset.exr"), hdri("forest.exr"), "-n", "2", "--overlay", path("o.png"), "-o", path("t.txt")});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_TRUE(fs::is_regular_file(path("o-1.png")));
    EXPECT_TRUE(fs::is_regular_file(path("o-2.png")));
    EXPECT_FALSE(fs::exists(path("o.png")));
}

TEST_F(EnvlightsEndToEndTest, BadInputGivesOneLineAndItsStatusAndNoOutputFile)
{
    fs::create_directory(path("folder.exr"));
    { std::ofstream(path("empty.exr")); }
    { std::ofstream(path("notes.png")) << "these are not pixels\n"; }
    writeExr(path("alpha.exr"), 4, 2, [](int, int) { return std::array<float, 3>{1, 1, 1}; }, {"A", "Z"});
    writeExr(path("thin.exr"), 1, 5, [](int, int) { return std::array<float, 3>{1, 1, 1}; });
    writeExr(path("wide.exr"), 65536, 2, [](int x, int) { return std::array<float, 3>{float(x % 7), 1, 1}; });
    writeExr(path("good.exr"), 8, 4, [](int x, int) { return std::array<float, 3>{float(x), 1, 1}; });
    {
        const std::string good = readText(path("good.exr"));
        std::ofstream(path("cut.exr"), std::ios::binary) << good.substr(0, good.size() - 20);
    }
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string line;  // exact; a leading "..." means "ends with"
    };
    const std::string out = path("out.json");
    const Row rows[] = {
        {"missing file", {path("missing.exr")}, 1, "envlights: " + path("missing.exr") + ": cannot open: No such file or directory"},
        {"directory", {path("folder.exr")}, 1, "envlights: " + path("folder.exr") + ": is a directory, not an image file"},
        {"empty file", {path("empty.exr")}, 1, "envlights: " + path("empty.exr") + ": the file is empty"},
        {"truncated file", {path("cut.exr")}, 1, "...)"},
        {"unknown format", {path("notes.png")}, 1,
         "envlights: " + path("notes.png") + ": unknown image format (not OpenEXR, Radiance HDR, PNG or JPEG)"},
        {"EXR without colour channels", {path("alpha.exr")}, 1,
         "envlights: " + path("alpha.exr") + ": OpenEXR image without colour channels (needs R, G and B, or Y); it has A, Z"},
        {"smaller than 2 x 2", {path("thin.exr")}, 1, "envlights: " + path("thin.exr") + ": the image is smaller than 2 x 2 pixels (1 x 5)"},
        {"wider than 65535", {path("wide.exr")}, 1,
         "envlights: " + path("wide.exr") + ": the image is larger than 65535 pixels on a side (65536 x 2)"},
        {"bad second image", {path("good.exr"), path("missing.exr")}, 1,
         "envlights: " + path("missing.exr") + ": cannot open: No such file or directory"},
        {"lights not a whole number", {"-n", "three"}, 2, "envlights: --lights: 'three' is not a whole number"},
        {"lights negative", {"-n", "-2"}, 2, "envlights: --lights: -2 is negative; give 0 to 4096"},
        {"lights above 4096", {"-n", "4097"}, 2, "envlights: --lights: 4097 is above 4096, the most lights allowed"},
        {"unknown option", {"--brightness", "2"}, 2, "...--brightness (see --help)"},
        {"unknown format option", {"--format", "yaml"}, 2, "envlights: --format: 'yaml' is not one of table, json, x3d"},
        {"unwritable output", {path("good.exr"), "-o", path("no/such/dir/out.json")}, 1,
         "envlights: " + path("no/such/dir/out.json") + ": cannot write: No such file or directory"},
        {"unwritable overlay", {path("good.exr"), "--overlay", path("no/o.png")}, 1,
         "envlights: " + path("no/o.png") + ": cannot write: No such file or directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args = row.args;
        if (std::find(args.begin(), args.end(), "-o") == args.end())
            args.insert(args.end(), {"-o", out});
        const Outcome result = run(args);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.out, "");
        const std::vector<std::string> lines = result.errLines();
        ASSERT_EQ(lines.size(), 1u) << result.err;
        if (row.line.rfind("...", 0) == 0) {
            const std::string tail = row.line.substr(3);
            EXPECT_EQ(lines[0].rfind("envlights: ", 0), 0u) << lines[0];
            ASSERT_GE(lines[0].size(), tail.size());
            EXPECT_EQ(lines[0].substr(lines[0].size() - tail.size()), tail);
        } else {
            EXPECT_EQ(lines[0], row.line);
        }
        EXPECT_FALSE(fs::exists(out)) << "no partial output";
        std::size_t leftovers = 0;
        for (const auto& entry : fs::directory_iterator(_dir))
            leftovers += entry.path().filename().string().rfind(".envlights-", 0) == 0;
        EXPECT_EQ(leftovers, 0u) << "no temporary file";
    }
}

TEST_F(EnvlightsEndToEndTest, HelpAndVersion)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--overlay"), std::string::npos);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("envlights ") + ENVLIGHTS_VERSION + "\n");
}

}  // namespace
