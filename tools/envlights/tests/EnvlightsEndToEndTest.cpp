// Runs the built envlights program on its built-in sky, a repository HDRI and tiny files written
// here, and reads its output back with independent parsers (nlohmann-json, stb_image).

#include <nlohmann/json.hpp>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>

#include <stb_image.h>
#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Vec = std::array<double, 3>;

constexpr double pi = 3.14159265358979323846;

std::string readText(const std::string& file)
{
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

Vec vec(const json& v) { return {v[0].get<double>(), v[1].get<double>(), v[2].get<double>()}; }

// The shine direction the lighting node pool documents for data pixel (u, v) of a W x H image.
Vec shineDirection(double u, double v, double width, double height)
{
    const double phi = 2.0 * pi * (1.0 - u / width) - pi / 2.0, theta = pi * v / height;
    return {std::sin(phi) * std::sin(theta), std::cos(theta), std::cos(phi) * std::sin(theta)};
}

void expectNear(const Vec& got, const Vec& expected, double tolerance, const std::string& what)
{
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(got[c], expected[c], tolerance) << what << ", component " << c;
}

// What every result must keep: the leaves tile the picture exactly once; as many lights as
// requested, or as leaves when fewer; the lights' regions are the densest leaves (the last ones,
// in reverse); peak colour 1/k; unit directions. Returns the lights.
json expectLightProperties(const json& image, std::size_t requested, const std::string& name)
{
    SCOPED_TRACE(name);
    const int width = image.at("width"), height = image.at("height");
    const json& leaves = image.at("leaves");
    std::vector<int> cover(std::size_t(width) * std::size_t(height));
    for (const json& leaf : leaves) {
        const int x = leaf.at("x"), y = leaf.at("y"), w = leaf.at("width"), h = leaf.at("height");
        EXPECT_TRUE(x >= 0 && y >= 0 && w >= 1 && h >= 1 && x + w <= width && y + h <= height)
            << leaf.dump();
        for (int row = std::max(y, 0); row < std::min(y + h, height); ++row)
            for (int column = std::max(x, 0); column < std::min(x + w, width); ++column)
                ++cover[std::size_t(row) * std::size_t(width) + std::size_t(column)];
    }
    EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), std::ptrdiff_t(cover.size()))
        << "each pixel in one leaf";
    const json& lights = image.at("lights");
    const std::size_t k = std::min(requested, leaves.size());
    EXPECT_EQ(lights.size(), k);
    for (std::size_t j = 0; j < std::min(k, lights.size()); ++j) {
        const Vec color = vec(lights[j].at("color")), direction = vec(lights[j].at("direction"));
        EXPECT_NEAR(std::max({color[0], color[1], color[2]}), 1.0 / double(k), 1e-6 / double(k))
            << "light " << j;
        EXPECT_NEAR(std::hypot(direction[0], direction[1], direction[2]), 1.0, 1e-5)
            << "light " << j;
        EXPECT_EQ(lights[j].at("region"), leaves[leaves.size() - 1 - j]) << "light " << j;
    }
    return lights;
}

// The physical method's geometry as the sampling library documents it: the centre of picture
// pixel (u, v), v from the top row, lies toward (cos a sin t, cos t, sin a sin t) with
// a = 2 pi (u + 0.5) / W, t = pi (v + 0.5) / H; a pixel of row v covers
// 2 pi / W (cos(pi v / H) - cos(pi (v + 1) / H)) steradians.
Vec towardPixel(int u, int v, int width, int height)
{
    const double a = 2.0 * pi * (u + 0.5) / width, t = pi * (v + 0.5) / height;
    return {std::cos(a) * std::sin(t), std::cos(t), std::sin(a) * std::sin(t)};
}
double pixelSolidAngle(int v, int width, int height)
{
    return 2.0 * pi / width * (std::cos(pi * v / height) - std::cos(pi * (v + 1) / height));
}
double luminance(const Vec& rgb) { return 0.2125 * rgb[0] + 0.7154 * rgb[1] + 0.0721 * rgb[2]; }
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// A picture of linear RGB, rows from the top, for the brute-force checks below.
struct Picture {
    int width = 0, height = 0;
    std::function<std::array<float, 3>(int, int)> value;
};

// The irradiance error of `lights` by brute force over every pixel: luminance irradiance at the
// 2000 normals of the documented Fibonacci lattice, relative root-mean-square difference.
double bruteIrradianceError(const Picture& picture, const json& lights)
{
    double difference = 0.0, reference = 0.0;
    for (int j = 0; j < 2000; ++j) {
        const double z = 1.0 - 2.0 * (j + 0.5) / 2000.0, r = std::sqrt(1.0 - z * z),
                     a = j * pi * (3.0 - std::sqrt(5.0));
        const Vec normal{r * std::cos(a), z, r * std::sin(a)};
        double environment = 0.0, lit = 0.0;
        for (int v = 0; v < picture.height; ++v)
            for (int u = 0; u < picture.width; ++u) {
                const std::array<float, 3> c = picture.value(u, v);
                environment +=
                    luminance({c[0], c[1], c[2]}) *
                    std::max(0.0, dot(normal, towardPixel(u, v, picture.width, picture.height))) *
                    pixelSolidAngle(v, picture.width, picture.height);
            }
        for (const json& light : lights)
            lit += luminance(vec(light["irradiance"])) *
                   std::max(0.0, -dot(normal, vec(light["direction"])));
        difference += (lit - environment) * (lit - environment);
        reference += environment * environment;
    }
    return std::sqrt(difference / reference);
}

// What every physical result must keep: the documented keys; exactly the lights asked for,
// the most powerful first; unit directions; colour times intensity giving the irradiance; the
// lights' irradiances adding up to the total and their solid angles to the sphere's; regions
// tiling the picture. Returns the lights.
json expectPhysicalProperties(const json& image, std::size_t requested, const std::string& name)
{
    SCOPED_TRACE(name);
    std::vector<std::string> keys;
    for (const auto& item : image.items())
        keys.push_back(item.key());
    std::vector<std::string> expected{"height",        "lights",          "method", "path",
                                      "rotateDegrees", "totalIrradiance", "width"};
    if (image.contains("quality"))
        expected.insert(expected.begin() + 4, "quality");
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(image.value("method", ""), "physical");
    const int width = image.at("width"), height = image.at("height");
    std::vector<int> cover(std::size_t(width) * std::size_t(height));
    const json& lights = image.at("lights");
    EXPECT_EQ(lights.size(), requested);
    Vec sum{};
    double solidAngle = 0.0, previous = std::numeric_limits<double>::infinity();
    for (std::size_t j = 0; j < lights.size(); ++j) {
        const json& light = lights[j];
        EXPECT_EQ(light.size(), 6u) << light.dump();
        const Vec direction = vec(light.at("direction")), irradiance = vec(light.at("irradiance")),
                  color = vec(light.at("color"));
        const double intensity = light.at("intensity");
        EXPECT_NEAR(std::hypot(direction[0], direction[1], direction[2]), 1.0, 1e-9) << j;
        EXPECT_EQ(intensity, std::max({irradiance[0], irradiance[1], irradiance[2]})) << j;
        expectNear({color[0] * intensity, color[1] * intensity, color[2] * intensity}, irradiance,
                   1e-12 * intensity, "colour times intensity");
        EXPECT_LE(luminance(irradiance), previous * (1.0 + 1e-3)) << "most powerful first: " << j;
        previous = luminance(irradiance);
        for (int c = 0; c < 3; ++c)
            sum[c] += irradiance[c];
        solidAngle += light.at("solidAngle").get<double>();
        const json& r = light.at("region");
        const int x = r.at("x"), y = r.at("y"), w = r.at("width"), h = r.at("height");
        // Regions are in the original picture: after a turn one may run past the right edge and
        // go on at the left.
        EXPECT_TRUE(x >= 0 && x < width && y >= 0 && w >= 1 && h >= 1 && w <= width &&
                    y + h <= height)
            << r.dump();
        for (int row = std::max(y, 0); row < std::min(y + h, height); ++row)
            for (int column = x; column < x + std::min(w, width); ++column)
                ++cover[std::size_t(row) * std::size_t(width) + std::size_t(column % width)];
    }
    const Vec total = vec(image.at("totalIrradiance"));
    if (!lights.empty()) {
        expectNear(sum, total, 1e-9 * std::max({total[0], total[1], total[2]}), "irradiance sum");
        EXPECT_NEAR(solidAngle, 4.0 * pi, 1e-9);
        EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), std::ptrdiff_t(cover.size()))
            << "each pixel in one region";
    }
    return lights;
}

class EnvlightsEndToEndTest : public ::testing::Test {
protected:
    struct Outcome {
        int status = -1;
        std::string out, err;
    };

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
        EXPECT_TRUE(fs::is_regular_file(file)) << "missing HDRI " << file;
        return file;
    }

    // Runs envlights with `args`; standard output and error are caught in files.
    Outcome run(std::vector<std::string> args) const
    {
        const std::string outFile = path(".stdout"), errFile = path(".stderr");
        args.insert(args.begin(), ENVLIGHTS_EXECUTABLE);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            ::dup2(::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                        readText(outFile), readText(errFile)};
        fs::remove(outFile);
        fs::remove(errFile);
        return outcome;
    }
    json runJson(const std::vector<std::string>& args) const
    {
        std::vector<std::string> all(args);
        all.insert(all.end(), {"--format", "json"});
        const Outcome outcome = run(all);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        return outcome.status == 0 ? json::parse(outcome.out)
                                   : json::object({{"images", json::array({json::object()})}});
    }

    // Float channels; value(x, y) with y = 0 the picture's top row.
    void writeExr(const std::string& name, int width, int height,
                  const std::function<std::array<float, 3>(int, int)>& value,
                  const std::vector<const char*>& channels = {"R", "G", "B"}) const
    {
        Imf::Header header(width, height);
        std::vector<float> rgb;
        for (int i = 0; i < width * height; ++i) {
            const std::array<float, 3> v = value(i % width, i / width);
            rgb.insert(rgb.end(), v.begin(), v.end());
        }
        Imf::FrameBuffer frame;
        for (std::size_t c = 0; c < channels.size(); ++c) {
            header.channels().insert(channels[c], Imf::Channel(Imf::FLOAT));
            frame.insert(channels[c],
                         Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(rgb.data() + c), 12,
                                    12 * std::size_t(width)));
        }
        Imf::OutputFile out(path(name).c_str(), header);
        out.setFrameBuffer(frame);
        out.writePixels(height);
    }

    fs::path _dir;
};

TEST_F(EnvlightsEndToEndTest, BuiltInSkyGivesSixteenLightsTheDensestFromTheSun)
{
    const Outcome table = run({"--method", "node"});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.err, "");
    EXPECT_EQ(table.out.rfind("<built-in sky>: 1024 x 512, 16 lights from 16 regions\n", 0), 0u)
        << table.out;

    const json image = runJson({"--method", "node"})["images"][0];
    EXPECT_EQ(image.at("path"), "<built-in sky>");
    const json lights = expectLightProperties(image, 16, "sky");
    // The sun stands 40 degrees up between -X and -Z: its light shines down toward +X, +Z; turned
    // by 90 degrees counterclockwise seen from above, toward +X, -Z.
    expectNear(vec(lights[0]["direction"]), {0.5417, -0.6428, 0.5417}, 0.02, "sun");
    expectNear(
        vec(runJson({"--method", "node", "--rotate", "90"})["images"][0]["lights"][0]["direction"]),
        {0.5417, -0.6428, -0.5417}, 0.02, "turned sun");
}

TEST_F(EnvlightsEndToEndTest, SmallFilesThroughTheBytePathAndTheFloatPath)
{
    // A 2 x 2 grey PNG cut for 8 lights ends in four one-pixel leaves: four lights at 1/4.
    const unsigned char grey[12] = {128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128};
    ASSERT_TRUE(stbi_write_png(path("grey.png").c_str(), 2, 2, 3, grey, 6));
    expectLightProperties(runJson({path("grey.png"), "--method", "node", "-n", "8"})["images"][0],
                          4, "2 x 2 grey");

    // One bright pixel at picture column 40, row 6 of a dim 64 x 32 picture: the densest
    // region holds it. On black, a single light comes from that very pixel, data row 31 - 6.
    for (const unsigned char background : {3, 0}) {
        std::vector<unsigned char> bytes(64 * 32 * 3, background);
        std::fill_n(bytes.begin() + 3 * (6 * 64 + 40), 3, 255);
        ASSERT_TRUE(stbi_write_png(path("spot.png").c_str(), 64, 32, 3, bytes.data(), 64 * 3));
        const json image = runJson(
            {path("spot.png"), "--method", "node", "-n", background ? "4" : "1"})["images"][0];
        const json lights = expectLightProperties(image, background ? 4 : 1, "spot");
        if (background) {
            const json& r = lights[0]["region"];
            EXPECT_TRUE(40 >= r["x"] && 40 < r["x"].get<int>() + r["width"].get<int>() &&
                        6 >= r["y"] && 6 < r["y"].get<int>() + r["height"].get<int>())
                << r.dump();
        } else {
            expectNear(vec(lights[0]["direction"]), shineDirection(40, 25, 64, 32), 1e-5,
                       "spot on black");
        }
    }

    // Several images in order; non-finite pixels are zeroed with one warning line.
    const float nan = std::numeric_limits<float>::quiet_NaN(),
                inf = std::numeric_limits<float>::infinity();
    writeExr("broken.exr", 8, 4, [&](int x, int y) -> std::array<float, 3> {
        if (y == 1 && x < 3)
            return {x == 0 ? nan : 1.0f, x == 1 ? -inf : 1.0f, x == 2 ? inf : 1.0f};
        return {0.5f, 0.25f, float(x)};
    });
    const Outcome result = run(
        {path("broken.exr"), path("grey.png"), "--method", "node", "--format", "json", "-n", "2"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "envlights: warning: " + path("broken.exr") +
                              ": 3 pixels were not finite (NaN or infinity) and were set to 0\n");
    const json root = json::parse(result.out);
    ASSERT_EQ(root["images"].size(), 2u);
    EXPECT_EQ(root["images"][1]["path"], path("grey.png"));
    expectLightProperties(root["images"][0], 2, "broken.exr");
}

TEST_F(EnvlightsEndToEndTest, OverlayAndOutputFiles)
{
    const Outcome result =
        run({hdri("sunrise.exr"), "--method", "node", "-n", "8", "--overlay", path("sunrise.png"),
             "-o", path("lights.json"), "--format", "json", "--timings"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "") << "the lights went to the file";
    const json lights = expectLightProperties(
        json::parse(readText(path("lights.json")))["images"][0], 8, "sunrise");
    for (const char* phase :
         {"load plug-in", "decode", "node creation", "tables, cut and lights", "overlay", "output"})
        EXPECT_NE(result.err.find(phase), std::string::npos) << "no timing for " << phase << ":\n"
                                                             << result.err;

    // Yellow outlines belong to the lights' leaves: no yellow pixel of the picture (above the
    // legend) lies off their borders.
    int width = 0, height = 0, channels = 0, yellow = 0, stray = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> png(
        stbi_load(path("sunrise.png").c_str(), &width, &height, &channels, 3), &stbi_image_free);
    ASSERT_TRUE(png && width == 1024 && height > 512) << "the picture, the legend below";
    for (int i = 0; i < width * 512; ++i) {
        const unsigned char* p = png.get() + 3 * i;
        if (p[0] != 255 || p[1] != 210 || p[2] != 0)
            continue;
        ++yellow;
        const int x = i % width, y = i / width;
        stray += std::none_of(lights.begin(), lights.end(), [&](const json& light) {
            const json& r = light["region"];
            const int x0 = r["x"], y0 = r["y"], x1 = x0 + int(r["width"]) - 1,
                      y1 = y0 + int(r["height"]) - 1;
            return x >= x0 && x <= x1 && y >= y0 && y <= y1 &&
                   (x == x0 || x == x1 || y == y0 || y == y1);
        });
    }
    EXPECT_GT(yellow, 1000);
    EXPECT_EQ(stray, 0);

    // With two images the overlays are numbered.
    const Outcome two = run({hdri("sunset.exr"), hdri("forest.exr"), "--method", "node", "-n", "2",
                             "--overlay", path("o.png"), "-o", path("t.txt")});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_TRUE(fs::is_regular_file(path("o-1.png")) && fs::is_regular_file(path("o-2.png")) &&
                !fs::exists(path("o.png")));
}

TEST_F(EnvlightsEndToEndTest, PhysicalIsTheDefaultOnTheBuiltInSky)
{
    const Outcome table = run({"--timings"});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.rfind("<built-in sky>: 1024 x 512, 16 lights (physical method), total "
                              "irradiance (",
                              0),
              0u)
        << table.out;
    EXPECT_NE(table.err.find("extraction"), std::string::npos) << table.err;
    EXPECT_EQ(table.err.find("load plug-in"), std::string::npos) << "no plug-in: " << table.err;

    const json lights = expectPhysicalProperties(runJson({})["images"][0], 16, "sky");
    ASSERT_FALSE(lights.empty());
    // The sun delivers most: the most powerful light shines from it, down toward +X, +Z.
    expectNear(vec(lights[0]["direction"]), {0.5417, -0.6428, 0.5417}, 0.02, "sun");

    // X3D with the intensity factor; the overlay draws the physical lights too.
    const Outcome x3d =
        run({"--format", "x3d", "-o", path("sky.x3d"), "--overlay", path("sky.png")});
    ASSERT_EQ(x3d.status, 0) << x3d.err;
    EXPECT_NE(readText(path("sky.x3d")).find("name=\"envlights.intensityScale\""),
              std::string::npos);
    int width = 0, height = 0, channels = 0;
    EXPECT_TRUE(stbi_info(path("sky.png").c_str(), &width, &height, &channels) && width == 1024 &&
                height > 512);

    // Previews are numbered as overlays are (the overlay, an 8-bit picture, serves as a second
    // environment).
    const Outcome two = run({hdri("sunrise.exr"), path("sky.png"), "-n", "4", "--preview",
                             path("p.png"), "-o", path("two.txt"), "--timings"});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_NE(two.err.find(", preview "), std::string::npos) << two.err;
    EXPECT_FALSE(fs::exists(path("p.png")));
    for (const char* name : {"p-1.png", "p-2.png"})
        EXPECT_TRUE(stbi_info(path(name).c_str(), &width, &height, &channels) && width > height &&
                    height > 0)
            << name;
}

// What a folder holds, entry by entry: name, kind, permissions and a hash of the content (or
// the link target).
std::string folderSnapshot(const fs::path& dir)
{
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
        const fs::file_status status = fs::symlink_status(entry.path());
        std::string line = entry.path().lexically_relative(dir).string() + ' ' +
                           std::to_string(int(status.type())) + ' ' +
                           std::to_string(int(status.permissions())) + ' ';
        if (status.type() == fs::file_type::symlink)
            line += fs::read_symlink(entry.path()).string();
        else if (status.type() == fs::file_type::regular)
            line += std::to_string(std::hash<std::string>()(readText(entry.path().string())));
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    std::string text;
    for (const std::string& entry : entries)
        text += entry + '\n';
    return text;
}

TEST_F(EnvlightsEndToEndTest, OutputsNeverClobberWhatIsNotTheirs)
{
    writeExr("in.exr", 8, 4, [](int x, int) { return std::array<float, 3>{float(x), 1, 1}; });
    writeExr("in2.exr", 8, 4, [](int, int y) { return std::array<float, 3>{1, float(y), 1}; });
    writeExr("in-2.exr", 8, 4, [](int, int y) { return std::array<float, 3>{1, float(y), 1}; });
    const std::string grey(8 * 4 * 3, '\x60');
    for (const char* name : {"in.png", "in-2.png"})
        ASSERT_TRUE(stbi_write_png(path(name).c_str(), 8, 4, 3, grey.data(), 8 * 3));
    fs::create_directory(path("folder"));
    fs::copy_file(path("in.exr"), path("folder/in.exr"));
    std::ofstream(path("old.json")) << "old";
    fs::create_symlink(path("old.json"), path("link.json"));
    for (const char* fifo : {"fifo.png", "in.overlay.png"})
        ASSERT_EQ(::mkfifo(path(fifo).c_str(), 0644), 0);
    const std::string regular = ", only over a regular file";

    const struct {
        const char* situation;
        const char* args; // split at spaces; '@' stands for this test's folder
        std::string line; // after "envlights: "
    } rows[] = {
        {"a directory", "-o @folder", "@folder: will not write over a directory" + regular},
        {"a device", "-o /dev/null", "/dev/null: will not write over a device" + regular},
        {"a FIFO", "--overlay @fifo.png", "@fifo.png: will not write over a FIFO" + regular},
        {"a symbolic link", "-o @link.json",
         "@link.json: will not write over a symbolic link" + regular},
        {"the input", "@in.exr -o @in.exr", "@in.exr: will not write over the input image @in.exr"},
        {"the input as overlay", "@in.png --overlay @folder/../in.png",
         "@folder/../in.png: will not write over the input image @in.png"},
        {"a numbered overlay on the second input", "@in.exr @in-2.png --overlay @in.png",
         "@in-2.png: will not write over the input image @in-2.png"},
        {"two images of one name into one folder", "@in.exr @folder --output-dir @",
         "@in.txt: both @in.exr and @folder/in.exr would be written there; rename one or run "
         "them apart"},
        {"an image's picture in the folder is a FIFO", "@in.exr --output-dir @ --overlay",
         "@in.overlay.png: will not write over a FIFO" + regular},
        {"a folder that is not there", "@in.exr --output-dir @none",
         "@none: cannot write into the folder: No such file or directory"},
        {"a file as the folder", "@in.exr --output-dir @in.png",
         "@in.png: not a folder; --output-dir needs an existing folder"},
        {"output and overlay", "-o @x.png --overlay @x.png",
         "@x.png: named by two outputs; each needs a file of its own"},
        {"numbered overlays and previews", "@in.exr @in2.exr --overlay @p.png --preview @p.png",
         "@p-1.png: named by two outputs; each needs a file of its own"},
    };
    auto expand = [&](std::string text) {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;)
            text.replace(at, 1, path(""));
        return text;
    };
    for (const auto& row : rows) {
        std::vector<std::string> args;
        std::istringstream words(expand(row.args));
        for (std::string word; words >> word;)
            args.push_back(word);
        const std::string before = folderSnapshot(_dir);
        const Outcome result = run(args);
        EXPECT_EQ(result.status, 1) << row.situation;
        EXPECT_EQ(result.out, "") << row.situation;
        EXPECT_EQ(result.err, "envlights: " + expand(row.line) + "\n") << row.situation;
        EXPECT_EQ(folderSnapshot(_dir), before) << row.situation;
        EXPECT_TRUE(fs::is_character_file("/dev/null"));
    }

    // A read-only regular file is replaced whole and stays read-only.
    ASSERT_EQ(::chmod(path("old.json").c_str(), 0444), 0);
    const Outcome replaced = run({"-o", path("old.json"), "--format", "json"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(readText(path("old.json")).rfind("{", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(path("old.json").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_TRUE(fs::is_symlink(path("link.json")));
}

TEST_F(EnvlightsEndToEndTest, PhysicalLightsDeliverTheIrradianceOfASmallEnvironment)
{
    // A bright patch at picture column 3, row 1 of a 16 x 8 sky darker toward the ground.
    const Picture picture{16, 8, [](int u, int v) -> std::array<float, 3> {
                              if (u == 3 && v == 1)
                                  return {60.0f, 50.0f, 40.0f};
                              return {0.1f * float(8 - v), 0.2f, 0.05f * float(u)};
                          }};
    writeExr("patch.exr", picture.width, picture.height, picture.value);
    Vec total{};
    for (int v = 0; v < picture.height; ++v)
        for (int u = 0; u < picture.width; ++u)
            for (int c = 0; c < 3; ++c)
                total[c] += double(picture.value(u, v)[c]) *
                            pixelSolidAngle(v, picture.width, picture.height);

    const json image = runJson({path("patch.exr"), "-n", "4", "--report"})["images"][0];
    const json lights = expectPhysicalProperties(image, 4, "patch");
    // The extraction sums a cell's pixels in single precision: agreement to float rounding.
    expectNear(vec(image["totalIrradiance"]), total, 1e-6 * total[0], "total");
    ASSERT_FALSE(lights.empty());
    EXPECT_GT(-dot(vec(lights[0]["direction"]), towardPixel(3, 1, 16, 8)), 0.9)
        << "the patch's light shines away from it";
    const double error = bruteIrradianceError(picture, lights);
    EXPECT_NEAR(image["quality"].value("irradianceError", -1.0), error, 1e-9);

    // The table gives the same error.
    const Outcome table = run({path("patch.exr"), "-n", "4", "--report"});
    char line[64];
    std::snprintf(line, sizeof line, "\nirradiance error: %.4g\n", error);
    EXPECT_NE(table.out.find(line), std::string::npos) << line << table.out;

    // A quarter turn is four whole columns: a single light turns with the environment, as an
    // X3D rotation "0 1 0 1.5708" turns (x, y, z) into (z, y, -x).
    const Vec one =
        vec(runJson({path("patch.exr"), "-n", "1"})["images"][0]["lights"][0]["direction"]);
    expectNear(vec(runJson({path("patch.exr"), "-n", "1", "--rotate",
                            "90"})["images"][0]["lights"][0]["direction"]),
               {one[2], one[1], -one[0]}, 1e-9, "turned light");
}

TEST_F(EnvlightsEndToEndTest, PhysicalGivesExactlyTheLightsAskedForOnARepositoryHdri)
{
    for (const char* count : {"1", "5", "16"})
        expectPhysicalProperties(runJson({hdri("sunset.exr"), "-n", count})["images"][0],
                                 std::stoul(count), std::string("sunset, ") + count);

    // The sun's brightest pixel is (614, 246); the glow beside it must not pull the most
    // powerful light off it.
    const double pi = 3.14159265358979323846;
    const double a = 2.0 * pi * 614.5 / 1024.0, t = pi * 246.5 / 512.0;
    const Vec sun{std::cos(a) * std::sin(t), std::cos(t), std::sin(a) * std::sin(t)};
    for (const char* count : {"16", "40", "64"}) {
        const Vec d =
            vec(runJson({hdri("sunset.exr"), "-n", count})["images"][0]["lights"][0]["direction"]);
        const double cosine = -(d[0] * sun[0] + d[1] * sun[1] + d[2] * sun[2]);
        EXPECT_LE(std::acos(std::min(cosine, 1.0)) * 180.0 / pi, 0.5) << count << " lights";
    }

    const Outcome table = run({hdri("sunset.exr"), "--report"});
    ASSERT_EQ(table.status, 0) << table.err;
    const std::size_t at = table.out.find("\nirradiance error: ");
    ASSERT_NE(at, std::string::npos) << table.out;
    const double error = std::strtod(table.out.c_str() + at + 19, nullptr);
    EXPECT_TRUE(error > 0.0 && error < 0.1) << error;
}

TEST_F(EnvlightsEndToEndTest, BadInputGivesOneLineAndItsStatusAndNoOutputFile)
{
    fs::create_directory(path("folder.exr"));
    std::ofstream(path("empty.exr")).close();
    std::ofstream(path("notes.png")) << "these are not pixels\n";
    writeExr("alpha.exr", 4, 2, [](int, int) { return std::array<float, 3>{1, 1, 1}; }, {"A", "Z"});
    writeExr("thin.exr", 1, 5, [](int, int) { return std::array<float, 3>{1, 1, 1}; });
    writeExr("wide.exr", 65536, 2, [](int x, int) {
        return std::array<float, 3>{float(x % 7), 1, 1};
    });
    writeExr("good.exr", 8, 4, [](int x, int) { return std::array<float, 3>{float(x), 1, 1}; });
    const std::string good = readText(path("good.exr"));
    std::ofstream(path("cut.exr"), std::ios::binary) << good.substr(0, good.size() - 20);

    const struct {
        const char* args; // split at spaces; '@' stands for this test's folder
        int status;
        const char* line; // after "envlights: "; "..." first means "ends with", last "starts with"
    } rows[] = {
        {"@missing.exr", 1, "@missing.exr: cannot open: No such file or directory"},
        {"@folder.exr", 1, "@folder.exr: no images (.exr, .hdr, .png, .jpg, .jpeg) in the folder"},
        {"@empty.exr", 1, "@empty.exr: the file is empty"},
        {"@cut.exr", 1, "...)"},
        {"@notes.png", 1,
         "@notes.png: unknown image format (not OpenEXR, Radiance HDR, PNG or JPEG)"},
        {"@alpha.exr", 1,
         "@alpha.exr: OpenEXR image without colour channels (needs R, G and B, or Y); it has A, Z"},
        {"@thin.exr", 1, "@thin.exr: the image is smaller than 2 x 2 pixels (1 x 5)"},
        {"@wide.exr", 1, "@wide.exr: the image is larger than 65535 pixels on a side (65536 x 2)"},
        {"@good.exr @missing.exr", 1, "@missing.exr: cannot open: No such file or directory"},
        {"-n three", 2, "--lights: 'three' is not a whole number"},
        {"@good.exr --method best", 2, "--method: 'best' is not one of physical, node"},
        {"@good.exr --method node --report", 2,
         "--report: the node method's colours are not irradiances; use --method physical"},
        {"@good.exr -n 33", 1, "@good.exr: ..."},
        {"@good.exr -o @no/dir/out.json", 1,
         "@no/dir/out.json: cannot write: No such file or directory"},
        {"@good.exr --overlay @no/o.png", 1, "@no/o.png: cannot write: No such file or directory"},
        {"@good.exr --preview @no/p.png", 1, "@no/p.png: cannot write: No such file or directory"},
        {"@good.exr --method node --preview @p.png", 2,
         "--preview: the node method's colours are not irradiances; use --method physical"},
    };
    auto expand = [&](std::string text) {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;)
            text.replace(at, 1, path(""));
        return text;
    };
    for (const auto& row : rows) {
        const std::string line = expand(row.line);
        std::vector<std::string> args;
        std::istringstream words(expand(row.args));
        for (std::string word; words >> word;)
            args.push_back(word);
        if (std::find(args.begin(), args.end(), "-o") == args.end())
            args.insert(args.end(), {"-o", path("out.json")});
        const Outcome result = run(args);
        EXPECT_EQ(result.status, row.status) << line;
        EXPECT_EQ(result.out, "") << line;
        if (line.rfind("...", 0) == 0) {
            EXPECT_TRUE(
                result.err.rfind("envlights: ", 0) == 0 && result.err.size() > line.size() &&
                result.err.substr(result.err.size() - line.size() + 2) == line.substr(3) + "\n")
                << result.err;
        } else if (line.size() > 3 && line.compare(line.size() - 3, 3, "...") == 0) {
            const std::string start = "envlights: " + line.substr(0, line.size() - 3);
            EXPECT_TRUE(result.err.rfind(start, 0) == 0 && result.err.size() > start.size() + 1 &&
                        result.err.find('\n') == result.err.size() - 1)
                << result.err;
        } else {
            EXPECT_EQ(result.err, "envlights: " + line + "\n");
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(_dir), fs::directory_iterator()), 8)
            << "the eight files made here, no output or temporary file: " << line;
    }
}

TEST_F(EnvlightsEndToEndTest, HostilePicturesAndNamesGiveOneEscapedLine)
{
    const std::string pixels(16 * 16 * 3, '\x60');
    const std::string png = path("good.png"), jpg = path("good.jpg");
    ASSERT_TRUE(stbi_write_png(png.c_str(), 16, 16, 3, pixels.data(), 48));
    ASSERT_TRUE(stbi_write_jpg(jpg.c_str(), 16, 16, 3, pixels.data(), 90));
    std::string badCrc = readText(png);
    badCrc[badCrc.size() - 13] ^= 1; // the image data chunk's checksum, before the 12-byte end
    std::ofstream(path("crc.png"), std::ios::binary) << badCrc;
    // The frame header of a 16 x 16 file rewritten to 8192 x 8192, the rest left as it was.
    std::string huge = readText(jpg);
    const std::size_t sof = huge.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    huge.replace(sof + 5, 4, std::string("\x20\x00\x20\x00", 4));
    std::ofstream(path("huge.jpg"), std::ios::binary) << huge;
    std::ofstream(path("odd\nname\x1b[2J.png")) << "text\n";

    const struct {
        const char* file;
        const char* line; // after "envlights: " and this test's folder; the line starts so
    } rows[] = {
        {"crc.png", "crc.png: corrupt PNG data: chunk IDAT has a bad checksum"},
        {"huge.jpg", "huge.jpg: truncated JPEG data: a scan holds "},
        {"odd\nname\x1b[2J.png",
         "odd\\x0aname\\x1b[2J.png: unknown image format (not OpenEXR, Radiance HDR, PNG or "
         "JPEG)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const Outcome result = run({path(row.file), "-o", path("out.json")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.rfind("envlights: " + path("") + row.line, 0), 0u) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
        EXPECT_FALSE(fs::exists(path("out.json")));
    }

    // With the log opened to notices, the libraries' lines come out as envlights lines.
    ::setenv("OSG_LOG_LEVEL", "4", 1);
    const Outcome logged = run({"--method", "node", "-n", "2", "-o", path("out.txt")});
    ::unsetenv("OSG_LOG_LEVEL");
    EXPECT_EQ(logged.status, 0) << logged.err;
    EXPECT_NE(logged.err.find("Init EnvironmentLight"), std::string::npos) << logged.err;
    std::istringstream lines(logged.err);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.rfind("envlights: ", 0), 0u) << line;
}

// Every file of a folder, in order, whatever the number of workers: the same bytes on standard
// output, the same lines on standard error, the same files in --output-dir.
TEST_F(EnvlightsEndToEndTest, BatchesGiveTheSameBytesOnAnyNumberOfWorkers)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    fs::create_directories(path("set/sub"));
    writeExr("set/a.exr", 16, 8, [&](int x, int y) {
        return std::array<float, 3>{x == 3 && y == 2 ? nan : float(x), 1, float(y)};
    });
    writeExr("set/c.exr", 16, 8, [](int x, int y) {
        return std::array<float, 3>{1, float(x * y), 2};
    });
    writeExr("set/sub/d.exr", 8, 4, [](int, int) { return std::array<float, 3>{1, 1, 1}; });
    std::string bytes;
    for (int i = 0; i < 16 * 8; ++i)
        bytes += {char(i), char(2 * i), char(90)};
    ASSERT_TRUE(stbi_write_png(path("set/B.PNG").c_str(), 16, 8, 3, bytes.data(), 16 * 3));
    std::ofstream(path("set/notes.txt")) << "not an image\n";
    std::ofstream(path("notes.png")) << "not an image\n";
    const std::string warning = "envlights: warning: " + path("set/a.exr") +
                                ": 1 pixel was not finite (NaN or infinity) and was set to 0\n";
    const std::vector<std::string> inOrder{path("set/B.PNG"), path("set/a.exr"), path("set/c.exr")};

    const Outcome one = run({path("set"), "-n", "3", "--format", "json", "-j", "1"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.err, warning);
    const json images = json::parse(one.out)["images"];
    ASSERT_EQ(images.size(), inOrder.size()) << "the folder's images, no other file, no subfolder";
    for (std::size_t i = 0; i < inOrder.size(); ++i)
        EXPECT_EQ(images[i]["path"], inOrder[i]);
    for (const char* workers : {"2", "5"}) {
        const Outcome many = run({path("set"), "-n", "3", "--format", "json", "-j", workers});
        EXPECT_EQ(many.status, 0) << workers;
        EXPECT_EQ(many.out, one.out) << workers;
        EXPECT_EQ(many.err, one.err) << workers;
    }
    const json exrs = runJson({path("set/*.exr"), "-n", "3"})["images"];
    ASSERT_EQ(exrs.size(), 2u) << "a quoted pattern, expanded here";
    EXPECT_EQ(exrs[0]["path"], inOrder[1]);
    EXPECT_EQ(exrs[1]["path"], inOrder[2]);

    // One file per image, each what the image alone gives; pictures beside them.
    for (const char* workers : {"1", "3"}) {
        const std::string out = path(std::string("out") + workers);
        fs::create_directory(out);
        const Outcome result = run({path("set"), "-n", "3", "--format", "json", "-j", workers,
                                    "--output-dir", out, "--overlay", "--preview"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, warning);
        for (const std::string name : {"B", "a", "c"}) {
            const Outcome alone = run({path("set/") + (name == "B" ? "B.PNG" : name + ".exr"), "-n",
                                       "3", "--format", "json"});
            EXPECT_EQ(readText(out + "/" + name + ".json"), alone.out) << name;
            for (const char* picture : {".overlay.png", ".preview.png"}) {
                int width = 0, height = 0, channels = 0;
                EXPECT_TRUE(
                    stbi_info((out + "/" + name + picture).c_str(), &width, &height, &channels))
                    << name << picture;
            }
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 9);
    }
    EXPECT_EQ(folderSnapshot(path("out1")), folderSnapshot(path("out3")));

    // --keep-going: the bad ones in one line each, in order; the good ones written; status 1.
    std::string keptErr;
    for (const char* workers : {"1", "4"}) {
        const Outcome kept = run({path("set/a.exr"), path("missing.exr"), path("notes.png"),
                                  path("set/*.tif"), path("set/c.exr"), "--keep-going", "-n", "3",
                                  "--format", "json", "-o", path("kept.json"), "-j", workers});
        EXPECT_EQ(kept.status, 1) << workers;
        EXPECT_EQ(kept.err,
                  warning + "envlights: " + path("missing.exr") +
                      ": cannot open: No such file or directory\nenvlights: " + path("notes.png") +
                      ": unknown image format (not OpenEXR, Radiance HDR, PNG or JPEG)\n"
                      "envlights: " +
                      path("set/*.tif") + ": no file matches the pattern\n")
            << workers;
        const json written = json::parse(readText(path("kept.json")))["images"];
        ASSERT_EQ(written.size(), 2u) << workers;
        EXPECT_EQ(written[0], images[1]) << "the same lights as in the whole folder's run";
        EXPECT_EQ(written[1], images[2]);
        keptErr = kept.err;
    }
    // Without it, the first bad image ends the run and nothing is written.
    fs::remove(path("kept.json"));
    const Outcome stopped = run({path("set/a.exr"), path("missing.exr"), path("set/c.exr"), "-o",
                                 path("kept.json"), "-j", "2"});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.err, warning + "envlights: " + path("missing.exr") +
                               ": cannot open: No such file or directory\n");
    EXPECT_FALSE(fs::exists(path("kept.json")));
}

// On a terminal a progress line is drawn over itself and erased at the end; the test above
// shows that standard error holds no trace of it when it is a file.
TEST_F(EnvlightsEndToEndTest, ProgressLineOnlyOnATerminal)
{
    for (const char* name : {"a.exr", "b.exr", "c.exr"})
        writeExr(name, 8, 4, [](int x, int) { return std::array<float, 3>{float(x), 1, 1}; });
    const std::string outFile = path("terminal.stdout");
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        const std::string a = path("a.exr"), b = path("b.exr"), c = path("c.exr");
        ::execl(ENVLIGHTS_EXECUTABLE, ENVLIGHTS_EXECUTABLE, a.c_str(), b.c_str(), c.c_str(), "-n",
                "2", "-j", "2", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string screen;
    char buffer[4096];
    for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
        screen.append(buffer, std::size_t(got));
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(terminal);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
    EXPECT_EQ(screen.find('\n'), std::string::npos) << "no line of its own: " << screen;
    EXPECT_EQ(screen.rfind("\renvlights: 0 of 3 images, 0:00 elapsed, about --:-- left", 0), 0u)
        << screen;
    EXPECT_NE(screen.find("\renvlights: 3 of 3 images, "), std::string::npos) << screen;
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen.back(), '\r') << "erased at the end";
    const std::size_t erase = screen.rfind('\r', screen.size() - 2);
    ASSERT_NE(erase, std::string::npos);
    EXPECT_EQ(screen.find_first_not_of(' ', erase + 1), screen.size() - 1) << screen;
    EXPECT_EQ(readText(outFile).rfind(path("a.exr") + ": 8 x 4, 2 lights", 0), 0u)
        << "standard output as ever: " << readText(outFile);
}

TEST_F(EnvlightsEndToEndTest, TurnedRegionsAreInTheOriginalPicture)
{
    // A bright pixel at column 10, row 5 of a 64 x 32 sky: whatever the turn, the region of the
    // brightest light holds it, counted in the picture as it is on disk.
    writeExr("spot.exr", 64, 32, [](int u, int v) -> std::array<float, 3> {
        return u == 10 && v == 5 ? std::array<float, 3>{500, 500, 500}
                                 : std::array<float, 3>{0.1f, 0.1f, 0.1f};
    });
    for (const char* turn : {"0", "90", "-100", "200"}) {
        SCOPED_TRACE(turn);
        const json image = runJson({path("spot.exr"), "-n", "16", "--rotate", turn})["images"][0];
        EXPECT_EQ(image.value("rotateDegrees", -1.0), std::stod(turn));
        const json lights = expectPhysicalProperties(image, 16, turn);
        ASSERT_FALSE(lights.empty());
        const json& r = lights[0]["region"];
        const int x = r["x"], y = r["y"], w = r["width"], h = r["height"];
        EXPECT_TRUE((10 - x + 64) % 64 < w && y <= 5 && 5 < y + h) << r.dump();
    }
}

TEST_F(EnvlightsEndToEndTest, RenderingFormatsNeedThePhysicalMethod)
{
    for (const char* format : {"gltf", "usda", "pbrt", "mitsuba", "blender"}) {
        SCOPED_TRACE(format);
        const Outcome refused =
            run({"--method", "node", "--format", format, "-o", path("lights.out")});
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.err, std::string("envlights: --format ") + format +
                                   ": the node method's colours are not irradiances; use "
                                   "--method physical\n");
        EXPECT_FALSE(fs::exists(path("lights.out")));

        const Outcome written = run({"-n", "3", "--format", format, "-o", path("lights.out")});
        EXPECT_EQ(written.status, 0) << written.err;
        EXPECT_NE(readText(path("lights.out")).find("<built-in sky>, 1024 x 512, 3 lights"),
                  std::string::npos)
            << "the header names the image";
        fs::remove(path("lights.out"));
    }
}

} // namespace
