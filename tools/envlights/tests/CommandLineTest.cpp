// How command lines are read: values, defaults, and one-line errors with their statuses.

#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

using namespace envlights;

CommandLine::Result parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "envlights");
    return CommandLine::parse(int(args.size()), args.data(), "9.8.7");
}

TEST(CommandLineTest, ValuesDefaultsHelpAndVersion)
{
    const Options defaults = parse({}).options;
    EXPECT_TRUE(defaults.images.empty());
    EXPECT_EQ(defaults.lights, 16);
    EXPECT_EQ(defaults.format, OutputFormat::Table);
    EXPECT_EQ(defaults.method, Method::Physical);
    EXPECT_EQ(defaults.rotateDeg, 0.0);
    EXPECT_FALSE(defaults.report);
    EXPECT_EQ(defaults.preview, "");
    EXPECT_EQ(defaults.outputDir, "");
    EXPECT_EQ(defaults.jobs, 0) << "0: the machine's cores";
    EXPECT_FALSE(defaults.keepGoing);

    const CommandLine::Result all = parse(
        {"a.exr", "-n", "5", "--format", "x3d", "-o", "out.x3d", "--overlay", "o.png", "--rotate",
         "-12.5", "--timings", "--report", "--preview", "p.png", "b.hdr", "--", "-c.png"});
    ASSERT_TRUE(all.run) << all.error;
    EXPECT_EQ(all.options.images, (std::vector<std::string>{"a.exr", "b.hdr", "-c.png"}));
    EXPECT_EQ(all.options.lights, 5);
    EXPECT_EQ(all.options.format, OutputFormat::X3d);
    EXPECT_EQ(all.options.output, "out.x3d");
    EXPECT_EQ(all.options.overlay, "o.png");
    EXPECT_EQ(all.options.rotateDeg, -12.5);
    EXPECT_TRUE(all.options.timings);
    EXPECT_TRUE(all.options.report);
    EXPECT_EQ(all.options.preview, "p.png");
    EXPECT_EQ(parse({"--method", "node"}).options.method, Method::Node);
    EXPECT_EQ(parse({"--method", "physical"}).options.method, Method::Physical);
    EXPECT_FALSE(defaults.up.has_value());
    EXPECT_EQ(defaults.irradianceScale, 1.0);
    const Options blender =
        parse({"--format", "blender", "--up", "y", "--irradiance-scale", "683"}).options;
    EXPECT_EQ(blender.format, OutputFormat::Blender);
    EXPECT_EQ(blender.up, UpAxis::Y);
    EXPECT_EQ(blender.irradianceScale, 683.0);
    EXPECT_EQ(parse({"--format", "gltf", "--up", "y"}).options.up, UpAxis::Y);
    for (const char* format : {"gltf", "usda", "pbrt", "mitsuba", "blender"})
        EXPECT_EQ(parse({"--format", format, "--irradiance-scale", "0.5"}).options.irradianceScale,
                  0.5)
            << format;
    for (const auto& [text, value] : {std::pair{"0", 0}, {"4096", 4096}, {"007", 7}, {"-0", 0}})
        EXPECT_EQ(parse({"--lights", text}).options.lights, value) << text;

    const CommandLine::Result batch = parse(
        {"a.exr", "--output-dir", "out", "-j", "3", "--keep-going", "b", "--overlay", "--preview"});
    ASSERT_TRUE(batch.run) << batch.error;
    EXPECT_EQ(batch.options.images, (std::vector<std::string>{"a.exr", "b"}));
    EXPECT_EQ(batch.options.outputDir, "out");
    EXPECT_EQ(batch.options.jobs, 3);
    EXPECT_TRUE(batch.options.keepGoing);
    EXPECT_EQ(batch.options.overlay, ".overlay.png") << "the suffix of each image's name";
    EXPECT_EQ(batch.options.preview, ".preview.png");
    EXPECT_EQ(parse({"--jobs", "256"}).options.jobs, 256);
    EXPECT_EQ(parse({"--overlay", "dir.v1/O.PNG"}).options.overlay, "dir.v1/O.PNG");

    const CommandLine::Result version = parse({"--version"});
    EXPECT_TRUE(!version.run && version.exitCode == exitOk && version.out == "envlights 9.8.7\n");
    const CommandLine::Result help = parse({"-h"});
    EXPECT_TRUE(!help.run && help.exitCode == exitOk);
    for (const char* option : {"--lights",
                               "--method",
                               "--format",
                               "--output",
                               "--overlay",
                               "--preview",
                               "--report",
                               "--rotate",
                               "--timings",
                               "--up",
                               "--irradiance-scale",
                               "gltf",
                               "usda",
                               "pbrt",
                               "mitsuba",
                               "blender",
                               "--output-dir",
                               "--jobs",
                               "--keep-going",
                               "sorted by name"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

TEST(CommandLineTest, UsageErrorsNameTheOption)
{
    struct Row {
        std::vector<const char*> args;
        std::string error; // exact, or a part of it after "..."
    };
    const Row rows[] = {
        {{"-n", "many"}, "--lights: 'many' is not a whole number"},
        {{"-n", "2.5"}, "--lights: '2.5' is not a whole number"},
        {{"-n", "+3"}, "--lights: '+3' is not a whole number"},
        {{"-n", "-1"}, "--lights: -1 is negative; give 0 to 4096"},
        {{"-n", "4097"}, "--lights: 4097 is above 4096, the most lights allowed"},
        {{"-n", "99999999999999999999"},
         "--lights: 99999999999999999999 is above 4096, the most lights allowed"},
        {{"--format", "xml"},
         "--format: 'xml' is not one of table, json, x3d, gltf, usda, pbrt, mitsuba, blender"},
        {{"--up", "x"}, "--up: 'x' is not one of y, z"},
        {{"--up", "Z", "--format", "pbrt"}, "--up: 'Z' is not one of y, z"},
        {{"--up", "z", "--format", "gltf"}, "--up z: the gltf format is always Y-up"},
        {{"--up", "z"}, "--up z: the table format is always Y-up"},
        {{"--irradiance-scale", "0", "--format", "gltf"},
         "--irradiance-scale: '0' is not a positive number"},
        {{"--irradiance-scale", "-2", "--format", "usda"},
         "--irradiance-scale: '-2' is not a positive number"},
        {{"--irradiance-scale", "nan", "--format", "pbrt"},
         "--irradiance-scale: 'nan' is not a positive number"},
        {{"--irradiance-scale", "2", "--format", "json"},
         "--irradiance-scale: the json format gives irradiances unscaled; use it with gltf, "
         "usda, pbrt, mitsuba or blender"},
        {{"--method", "node", "--format", "gltf"},
         "--format gltf: the node method's colours are not irradiances; use --method physical"},
        {{"--method", "node", "--format", "blender"},
         "--format blender: the node method's colours are not irradiances; use --method "
         "physical"},
        {{"--rotate", "east"}, "--rotate: 'east' is not a number of degrees"},
        {{"--rotate", "inf"}, "--rotate: 'inf' is not a number of degrees"},
        {{"--rotate", "90deg"}, "--rotate: '90deg' is not a number of degrees"},
        {{"-o", ""}, "--output: the file name is empty"},
        {{"--overlay", ""}, "--overlay: the file name is empty"},
        {{"--preview", ""}, "--preview: the file name is empty"},
        {{"--method", "Node"}, "--method: 'Node' is not one of physical, node"},
        {{"--method", ""}, "--method: '' is not one of physical, node"},
        {{"--method", "node", "--report"},
         "--report: the node method's colours are not irradiances; use --method physical"},
        {{"--preview", "p.png", "--method", "node"},
         "--preview: the node method's colours are not irradiances; use --method physical"},
        {{"-j", "0"}, "--jobs: '0' is not a whole number from 1 to 256"},
        {{"-j", "257"}, "--jobs: '257' is not a whole number from 1 to 256"},
        {{"-j", "two"}, "--jobs: 'two' is not a whole number from 1 to 256"},
        {{"-j", "1.5"}, "--jobs: '1.5' is not a whole number from 1 to 256"},
        {{"--output-dir", ""}, "--output-dir: the folder name is empty"},
        {{"--output-dir", "d", "-o", "x.txt"},
         "--output: not with --output-dir, which names each image's output"},
        {{"--output-dir", "d", "--overlay", "a.exr"},
         "--overlay: with --output-dir each image's picture is DIR/NAME.overlay.png; give "
         "--overlay without a file name"},
        {{"--preview", "p.png", "--output-dir", "d"},
         "--preview: with --output-dir each image's picture is DIR/NAME.preview.png; give "
         "--preview without a file name"},
        {{"--overlay"}, "--overlay: the file name is empty"},
        {{"--overlay", "x.jpg"},
         "--overlay: 'x.jpg' does not end in .png; the picture is written as PNG only"},
        {{"--overlay", "png"},
         "--overlay: 'png' does not end in .png; the picture is written as PNG only"},
        {{"--overlay", "dir/.png"},
         "--overlay: 'dir/.png' does not end in .png; the picture is written as PNG only"},
        {{"--preview", "p.png.jpeg"},
         "--preview: 'p.png.jpeg' does not end in .png; the picture is written as PNG only"},
        {{"--bogus"}, "...--bogus"},
        {{"a.exr", "-n"}, "...--lights"},
    };
    for (const Row& row : rows) {
        const CommandLine::Result result = parse(row.args);
        EXPECT_FALSE(result.run) << row.error;
        EXPECT_EQ(result.exitCode, exitUsage) << row.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
        if (row.error.rfind("...", 0) == 0)
            EXPECT_NE(result.error.find(row.error.substr(3)), std::string::npos) << result.error;
        else
            EXPECT_EQ(result.error, row.error);
    }
}

} // namespace
