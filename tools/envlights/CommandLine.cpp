#include "CommandLine.h"

#include "FormatWriter.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace envlights {

namespace {

constexpr const char* footerText =
    "With no IMAGE, envlights uses a built-in sky: a sun 40 degrees above the horizon, half way\n"
    "between -X and -Z (its light shines along 0.5417 -0.6428 0.5417), over a sky gradient and a\n"
    "darker ground. Images are latitude-longitude environments (.exr, .hdr, .png, .jpg), at\n"
    "least 2 x 2 and at most 65535 pixels on a side. Regions are given in picture pixels, x from\n"
    "the left edge and y from the top row, of the image on disk (after --rotate a region may run\n"
    "past the right edge and go on at the left). The physical method's irradiances are in\n"
    "the image's radiance units times steradians. While images are worked on, a progress line is\n"
    "kept on standard error when it is a terminal.\n"
    "Axes: Y up in table, json, x3d and gltf; Z up by default in pbrt, mitsuba and blender,\n"
    "Y in usda (--up changes those four). The picture's centre column faces -X and its top\n"
    "row is up (+Y, or +Z in Z-up files), its quarter column +Z (Y up) or -Y (Z up).\n"
    "Exit status: 0 success, 1 an input or output file failed, 2 a wrong command line.";

// Whole numbers only: digits with an optional leading minus, nothing else.
bool readLights(const std::string& text, int& lights, std::string& error)
{
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        error = "--lights: '" + text + "' is not a whole number";
        return false;
    }
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    const std::string significant = digits.substr(first);
    if (negative && !significant.empty()) {
        error = "--lights: " + text + " is negative; give 0 to " + std::to_string(maxLights);
        return false;
    }
    if (significant.size() > 5 || (!significant.empty() && std::stoi(significant) > maxLights)) {
        error = "--lights: " + text + " is above " + std::to_string(maxLights) +
                ", the most lights allowed";
        return false;
    }
    lights = significant.empty() ? 0 : std::stoi(significant);
    return true;
}

// Workers: a whole number from 1 to maxJobs.
bool readJobs(const std::string& text, int& jobs, std::string& error)
{
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    const std::string significant = text.substr(first);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        significant.empty() || significant.size() > 4 || std::stoi(significant) > maxJobs) {
        error = "--jobs: '" + text + "' is not a whole number from 1 to " + std::to_string(maxJobs);
        return false;
    }
    jobs = std::stoi(significant);
    return true;
}

// A picture option's file must end in .png (any case): the pictures are written as PNG only.
bool isPngName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() <= 4)
        return false;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".png";
}

bool readDegrees(const std::string& text, double& degrees, std::string& error)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (text.empty() || end != begin + text.size() || !std::isfinite(value)) {
        error = "--rotate: '" + text + "' is not a number of degrees";
        return false;
    }
    degrees = value;
    return true;
}

// A positive finite factor.
bool readScale(const std::string& text, double& scale, std::string& error)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (text.empty() || end != begin + text.size() || !std::isfinite(value) || !(value > 0.0)) {
        error = "--irradiance-scale: '" + text + "' is not a positive number";
        return false;
    }
    scale = value;
    return true;
}

} // namespace

CommandLine::Result CommandLine::parse(int argc, const char* const* argv,
                                       const std::string& version)
{
    Result result;
    Options& options = result.options;
    std::string lightsText;
    std::string formatText = "table";
    std::string methodText = "physical";
    std::string rotateText;

    CLI::App app("Turns HDR environment maps (latitude-longitude) into directional lights.",
                 "envlights");
    app.set_version_flag("--version", "envlights " + version);
    app.footer(footerText);
    app.add_option("IMAGE", options.images,
                   "environment images, processed in order; a folder stands for its images "
                   "(.exr .hdr .png .jpg .jpeg in any case, sorted by name, not its subfolders) "
                   "and a quoted pattern (*, ?, [...]) for the files it matches, sorted")
        ->type_name("");
    app.add_option("-n,--lights", lightsText, "number of lights per image, 0 to 4096; default 16")
        ->type_name("N");
    app.add_option("--method", methodText,
                   "physical (default): lights whose directions and irradiances reproduce the "
                   "environment's lighting of diffuse surfaces, in the image's own units, for "
                   "relighting. node: the lights the lighting node pool's EnvironmentLight makes, "
                   "with normalised colours, for checking the node.")
        ->type_name("METHOD");
    app.add_option("--format", formatText,
                   "output format: table, json, x3d; for the physical method also gltf (glTF 2.0 "
                   "with KHR_lights_punctual), usda (USD with UsdLux DistantLights), pbrt "
                   "(pbrt-v4 distant lights), mitsuba (Mitsuba 3 directional emitters), blender "
                   "(a Python script making sun lamps); default table")
        ->type_name("FORMAT");
    app.add_option("-o,--output", options.output,
                   "write the output to FILE instead of standard output")
        ->type_name("FILE");
    app.add_option("--overlay", options.overlay,
                   "also write a PNG (the name ends in .png) showing each region and light, with a "
                   "legend (with several images: FILE-1.png, FILE-2.png, ...; with --output-dir "
                   "give no FILE, after the images: DIR/NAME.overlay.png)")
        ->type_name("FILE.png")
        ->expected(0, 1);
    app.add_option("--preview", options.preview,
                   "also write a PNG of a diffuse sphere on a ground lit by the environment, by "
                   "the lights, and their difference (physical method only; PNG as --overlay; with "
                   "several images: FILE-1.png, FILE-2.png, ...; with --output-dir give no FILE, "
                   "after the images: DIR/NAME.preview.png)")
        ->type_name("FILE.png")
        ->expected(0, 1);
    app.add_flag(
        "--report", options.report,
        "also give each image's irradiance error: how far the lights' lighting of diffuse "
        "surfaces is from the environment's, relative (physical method only: the node's colours "
        "are not irradiances)");
    app.add_option("--rotate", rotateText,
                   "turn the environment about the vertical axis first (counterclockwise seen from "
                   "above), degrees; every output records it, and regions stay in the original "
                   "picture's pixels")
        ->type_name("DEG");
    app.add_flag("--timings", options.timings, "print the time of each phase to standard error");
    // Axes and units of the output formats.
    std::string upText;
    std::string scaleText;
    app.add_option("--up", upText,
                   "up axis of usda, pbrt, mitsuba and blender files: y or z (default: z, but y "
                   "for usda); table, json, x3d and gltf are always Y-up")
        ->type_name("y|z");
    app.add_option("--irradiance-scale", scaleText,
                   "multiplies the lights of gltf, usda, pbrt, mitsuba and blender files: their "
                   "unit per unit of image irradiance (image radiance times steradians); default "
                   "1, for pixels in absolute units: cd/m^2 gives lux (the unit of glTF and USD "
                   "intensities), W/(m^2 sr) gives W/m^2 (Blender sun strength, pbrt and Mitsuba "
                   "irradiance)")
        ->type_name("F");
    // Batches.
    std::string jobsText;
    app.add_option("--output-dir", options.outputDir,
                   "write one output file per image into the existing folder DIR, named after "
                   "the image with the format's extension (sky.exr: DIR/sky.json); instead of -o")
        ->type_name("DIR");
    app.add_option("-j,--jobs", jobsText,
                   "images worked on at once, 1 to 256; default: the machine's cores. The output "
                   "is the same whatever N is. The node method works on one image at a time.")
        ->type_name("N");
    app.add_flag("--keep-going", options.keepGoing,
                 "report each image that fails in one line and go on; write the others' output, "
                 "then exit with status 1 (without it the first failure ends the run and "
                 "nothing is written)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        result.out = app.help();
        return result;
    } catch (const CLI::CallForVersion& e) {
        result.out = std::string(e.what()) + "\n";
        return result;
    } catch (const CLI::ParseError& e) {
        result.exitCode = exitUsage;
        result.error = std::string(e.what()) + " (see --help)";
        return result;
    }

    auto usage = [&](const std::string& message) {
        result.exitCode = exitUsage;
        result.error = message;
        return result;
    };
    std::string error;
    if (!lightsText.empty() || app.count("--lights")) {
        if (!readLights(lightsText, options.lights, error))
            return usage(error);
    }
    bool knownFormat = false;
    for (OutputFormat format :
         {OutputFormat::Table, OutputFormat::Json, OutputFormat::X3d, OutputFormat::Gltf,
          OutputFormat::Usda, OutputFormat::Pbrt, OutputFormat::Mitsuba, OutputFormat::Blender})
        if (formatText == FormatWriter::name(format)) {
            options.format = format;
            knownFormat = true;
        }
    if (!knownFormat)
        return usage("--format: '" + formatText +
                     "' is not one of table, json, x3d, gltf, usda, pbrt, mitsuba, blender");
    if (methodText == "physical")
        options.method = Method::Physical;
    else if (methodText == "node")
        options.method = Method::Node;
    else
        return usage("--method: '" + methodText + "' is not one of physical, node");
    if (app.count("--rotate") && !readDegrees(rotateText, options.rotateDeg, error))
        return usage(error);
    // Axes and units of the output formats.
    const std::string formatName = FormatWriter::name(options.format);
    if (app.count("--up")) {
        if (upText != "y" && upText != "z")
            return usage("--up: '" + upText + "' is not one of y, z");
        options.up = upText == "y" ? UpAxis::Y : UpAxis::Z;
        if (options.up == UpAxis::Z && FormatWriter::alwaysYUp(options.format))
            return usage("--up z: the " + formatName + " format is always Y-up");
    }
    if (app.count("--irradiance-scale")) {
        if (!readScale(scaleText, options.irradianceScale, error))
            return usage(error);
        if (!FormatWriter::scalesIrradiance(options.format))
            return usage("--irradiance-scale: the " + formatName +
                         " format gives irradiances unscaled; use it with gltf, usda, pbrt, "
                         "mitsuba or blender");
    }
    if (options.method == Method::Node && !FormatWriter::carriesNodeLights(options.format))
        return usage("--format " + formatName +
                     ": the node method's colours are not "
                     "irradiances; use --method physical");
    if (app.count("--output") && options.output.empty())
        return usage("--output: the file name is empty");
    if (app.count("--jobs") && !readJobs(jobsText, options.jobs, error))
        return usage(error);
    if (app.count("--output-dir") && options.outputDir.empty())
        return usage("--output-dir: the folder name is empty");
    if (!options.outputDir.empty() && app.count("--output"))
        return usage("--output: not with --output-dir, which names each image's output");
    // With --output-dir the pictures are named after their images: the options take no file
    // name and hold the suffix that each image's name takes instead.
    const std::pair<const char*, std::string*> pictures[] = {{"overlay", &options.overlay},
                                                             {"preview", &options.preview}};
    for (const auto& [kind, file] : pictures) {
        const std::string option = std::string("--") + kind;
        const std::string suffix = std::string(".") + kind + ".png";
        if (!app.count(option))
            continue;
        if (!options.outputDir.empty()) {
            if (!file->empty())
                return usage(option + ": with --output-dir each image's picture is DIR/NAME" +
                             suffix + "; give " + option + " without a file name");
            *file = suffix;
        } else if (file->empty()) {
            return usage(option + ": the file name is empty");
        } else if (!isPngName(*file)) {
            return usage(option + ": '" + *file +
                         "' does not end in .png; the picture is written as PNG only");
        }
    }
    // The node's colours are normalised, not irradiances: there is nothing to measure or light.
    if (options.method == Method::Node && options.report)
        return usage("--report: the node method's colours are not irradiances; use --method "
                     "physical");
    if (options.method == Method::Node && app.count("--preview"))
        return usage("--preview: the node method's colours are not irradiances; use --method "
                     "physical");

    result.run = true;
    return result;
}

} // namespace envlights
