#pragma once

// The options of envlights and how they are read.

#include "FormatOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace envlights {

/// How lights are made. Physical: lights that deliver the environment's irradiance, in the
/// image's own units (the sampling library's PhysicalExtraction). Node: what the lighting node
/// pool's EnvironmentLight makes, through the plug-in.
enum class Method { Physical, Node };

struct Options {
    std::vector<std::string> images; ///< empty: the built-in sky
    int lights = 16;                 ///< lights per image (the node's numLights), 0 to maxLights
    Method method = Method::Physical;
    OutputFormat format = OutputFormat::Table;
    std::string output;     ///< empty: standard output
    std::string overlay;    ///< empty: no overlay picture; with outputDir: the name's suffix
    std::string preview;    ///< as overlay; physical method only
    double rotateDeg = 0.0; ///< turn about +Y before extraction, degrees
    bool report = false;    ///< measure the lights' irradiance error; physical method only
    bool timings = false;
    // Axes and units of the output formats.
    std::optional<UpAxis> up;     ///< empty: the format's own convention
    double irradianceScale = 1.0; ///< rendering formats' light unit per image irradiance unit

    // Batches.
    std::string outputDir;  ///< empty: one output (-o or standard output) for every image
    int jobs = 0;           ///< images worked on at once; 0: the machine's cores
    bool keepGoing = false; ///< report bad images, write the good ones, exit 1 at the end
};

/// Exit statuses.
constexpr int exitOk = 0;
constexpr int exitInput = 1; ///< a file could not be read or written
constexpr int exitUsage = 2; ///< the command line is wrong

/// The most lights one may ask for.
constexpr int maxLights = 4096;

/// The most workers one may ask for with -j.
constexpr int maxJobs = 256;

class CommandLine {
public:
    struct Result {
        bool run = false; ///< true: go on with `options`; false: stop with `exitCode`
        int exitCode = exitOk;
        Options options;
        std::string out;   ///< text for standard output (--help, --version)
        std::string error; ///< one line for standard error, without newline
    };

    /// Reads argv; never exits the process and never throws.
    static Result parse(int argc, const char* const* argv, const std::string& version);
};

} // namespace envlights
