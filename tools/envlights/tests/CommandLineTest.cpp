// How command lines are read: values, defaults, and the one-line errors with their statuses.

#include "CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace envlights;

CommandLine::Result parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "envlights");
    return CommandLine::parse(static_cast<int>(args.size()), args.data(), "9.8.7");
}

TEST(CommandLineTest, ValuesAndDefaults)
{
    const CommandLine::Result defaults = parse({});
    ASSERT_TRUE(defaults.run);
    EXPECT_TRUE(defaults.options.images.empty());
    EXPECT_EQ(defaults.options.lights, 16);
    EXPECT_EQ(defaults.options.format, OutputFormat::Table);
    EXPECT_EQ(defaults.options.output, "");
    EXPECT_EQ(defaults.options.overlay, "");
    EXPECT_EQ(defaults.options.rotateDeg, 0.0);
    EXPECT_FALSE(defaults.options.timings);

    const CommandLine::Result all = parse({"a.exr", "-n", "5", "--format", "x3d", "-o", "out.x3d",
                                           "--overlay", "o.png", "--rotate", "-12.5", "--timings", "b.hdr"});
    ASSERT_TRUE(all.run) << all.error;
    EXPECT_EQ(all.options.images, (std::vector<std::string>{"a.exr", "b.hdr"}));
    EXPECT_EQ(all.options.lights, 5);
    EXPECT_EQ(all.options.format, OutputFormat::X3d);
    EXPECT_EQ(all.options.output, "out.x3d");
    EXPECT_EQ(all.options.overlay, "o.png");
    EXPECT_EQ(all.options.rotateDeg, -12.5);
    EXPECT_TRUE(all.options.timings);

    struct Lights {
        const char* text;
        int value;
    };
    for (const Lights& row : {Lights{"0", 0}, Lights{"4096", 4096}, Lights{"007", 7}, Lights{"-0", 0}})
        EXPECT_EQ(parse({"--lights", row.text}).options.lights, row.value) << row.text;
    EXPECT_EQ(parse({"--lights=3", "--format=json"}).options.format, OutputFormat::Json);
    EXPECT_EQ(parse({"--", "-odd-name.exr"}).options.images, (std::vector<std::string>{"-odd-name.exr"}));
}

TEST(CommandLineTest, HelpAndVersionGoToStandardOutput)
{
    const CommandLine::Result version = parse({"--version"});
    EXPECT_FALSE(version.run);
    EXPECT_EQ(version.exitCode, kExitOk);
    EXPECT_EQ(version.out, "envlights 9.8.7\n");
    for (const char* flag : {"-h", "--help"}) {
        const CommandLine::Result help = parse({flag});
        EXPECT_FALSE(help.run);
        EXPECT_EQ(help.exitCode, kExitOk);
        for (const char* option : {"--lights", "--format", "--output", "--overlay", "--rotate", "--timings", "--version"})
            EXPECT_NE(help.out.find(option), std::string::npos) << flag << " lacks " << option;
    }
}

TEST(CommandLineTest, UsageErrorsNameTheOption)
{
    struct Row {
        const char* name;
        std::vector<const char*> args;
        std::string error;  // exact, or a prefix when it ends in "..."
    };
    const Row rows[] = {
        {"lights not a number", {"-n", "many"}, "--lights: 'many' is not a whole number"},
        {"lights fractional", {"-n", "2.5"}, "--lights: '2.5' is not a whole number"},
        {"lights with a sign", {"-n", "+3"}, "--lights: '+3' is not a whole number"},
        {"lights empty", {"--lights="}, "...--lights"},
        {"lights negative", {"-n", "-1"}, "--lights: -1 is negative; give 0 to 4096"},
        {"lights above the limit", {"-n", "4097"}, "--lights: 4097 is above 4096, the most lights allowed"},
        {"lights far above", {"-n", "99999999999999999999"},
         "--lights: 99999999999999999999 is above 4096, the most lights allowed"},
        {"unknown format", {"--format", "xml"}, "--format: 'xml' is not one of table, json, x3d"},
        {"rotate not a number", {"--rotate", "east"}, "--rotate: 'east' is not a number of degrees"},
        {"rotate infinite", {"--rotate", "inf"}, "--rotate: 'inf' is not a number of degrees"},
        {"rotate trailing text", {"--rotate", "90deg"}, "--rotate: '90deg' is not a number of degrees"},
        {"empty output name", {"-o", ""}, "--output: the file name is empty"},
        {"empty overlay name", {"--overlay", ""}, "--overlay: the file name is empty"},
        {"unknown option", {"--bogus"}, "...--bogus"},
        {"missing value", {"a.exr", "-n"}, "...--lights"},
    };
    for (const Row& row : rows) {
        const CommandLine::Result result = parse(row.args);
        EXPECT_FALSE(result.run) << row.name;
        EXPECT_EQ(result.exitCode, kExitUsage) << row.name;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << row.name;
        if (row.error.rfind("...", 0) == 0)
            EXPECT_NE(result.error.find(row.error.substr(3)), std::string::npos) << row.name << ": " << result.error;
        else
            EXPECT_EQ(result.error, row.error) << row.name;
    }
}

}  // namespace
