#include "EnvlightsApp.h"

#include "FormatWriter.h"
#include "ImageJob.h"
#include "InputList.h"
#include "LightExtractor.h"
#include "LogRelay.h"
#include "MessageLine.h"
#include "OutputFiles.h"
#include "OutputNames.h"
#include "PhaseTimer.h"
#include "ProgressLine.h"
#include "WorkerPool.h"

#include <morvekShapeNodePool/ImageFile.h>

#include <OpenSG/OSGBaseFunctions.h>

#include <algorithm>
#include <thread>

namespace envlights {

namespace {

unsigned workerCount(const Options& options)
{
    // The host runtime behind the node method keeps its scene on the thread that loaded it.
    if (options.method == Method::Node)
        return 1;
    if (options.jobs > 0)
        return static_cast<unsigned>(options.jobs);
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace

std::string EnvlightsApp::format(const Options& options,
                                 const std::vector<EnvironmentReport>& nodeReports,
                                 const std::vector<PhysicalReport>& physicalReports) const
{
    const FormatOptions formatOptions{options.up, options.irradianceScale, options.rotateDeg,
                                      "envlights " + _version};
    return options.method == Method::Node
               ? FormatWriter::write(options.format, nodeReports, formatOptions)
               : FormatWriter::write(options.format, physicalReports, formatOptions);
}

int EnvlightsApp::run(const Options& options)
{
    // The libraries' log lines come out as envlights lines too, before the line that ends a run.
    LogRelay log(_err);
    std::vector<ImageJob> jobs;
    if (options.images.empty())
        jobs.emplace_back(InputList::Entry{});
    for (InputList::Entry& entry : InputList::expand(options.images))
        jobs.emplace_back(std::move(entry));
    ProgressLine progress(_err, _errIsTerminal, jobs.size());
    const auto say = [&](const std::string& message) {
        progress.clear();
        log.relay();
        MessageLine::write(_err, message);
    };
    const auto fail = [&](int status, const std::string& message) {
        say(message);
        return status;
    };
    const bool node = options.method == Method::Node;
    const bool inFolder = !options.outputDir.empty();
    const std::string extension = FormatWriter::extension(options.format);

    // Every output is checked before any work, so that a refused one leaves everything as it
    // was: the same names the staging below uses.
    std::vector<std::string> inputs;
    std::vector<std::string> named; // the images that get files of their own
    for (const ImageJob& job : jobs)
        if (!job.failed()) {
            named.push_back(job.name());
            if (job.name() != builtInSkyName)
                inputs.push_back(job.name());
        }
    std::string error;
    std::vector<std::string> destinations;
    if (inFolder) {
        if (!OutputNames::checkFolder(options.outputDir, error) ||
            !OutputNames::checkDistinct(options.outputDir, named, extension, error))
            return fail(exitInput, error);
        for (const std::string& image : named) {
            destinations.push_back(OutputNames::inFolder(options.outputDir, image, extension));
            if (!options.overlay.empty())
                destinations.push_back(
                    OutputNames::inFolder(options.outputDir, image, options.overlay));
            if (!node && !options.preview.empty())
                destinations.push_back(
                    OutputNames::inFolder(options.outputDir, image, options.preview));
        }
    } else {
        if (!options.output.empty())
            destinations.push_back(options.output);
        for (std::size_t i = 0; !options.overlay.empty() && i < jobs.size(); ++i)
            destinations.push_back(OutputNames::numbered(options.overlay, i, jobs.size()));
        for (std::size_t i = 0; !node && !options.preview.empty() && i < jobs.size(); ++i)
            destinations.push_back(OutputNames::numbered(options.preview, i, jobs.size()));
    }
    if (!OutputFiles::checkDestinations(destinations, inputs, error))
        return fail(exitInput, error);

    PhaseTimer setup;
    LightExtractor extractor;
    if (node) {
        const PhaseTimer::Scope scope = setup.measure("load plug-in");
        if (!extractor.loadPlugin(error))
            return fail(exitInput, "cannot load the lighting node pool: " + error);
    } else if (!osg::osgIsInitialized() && !osg::osgInit(0, nullptr)) {
        // Images are OpenSG containers; without the plug-in no host runtime starts OpenSG.
        return fail(exitInput, "cannot start OpenSG");
    }

    // Each job's lines come out when every job before it has ended, as from a single worker.
    std::size_t failures = 0;
    const ImageJob* stopped = nullptr;
    const unsigned workers =
        static_cast<unsigned>(std::min<std::size_t>(workerCount(options), jobs.size()));
    // OpenEXR pictures are decoded on the worker's own thread. OpenEXR's pool keeps two chunk
    // buffers per thread in flight, 256 rows each for DWA: 30% above the picture itself at
    // 4096 x 2048, where decoding on one thread holds one chunk (10%) for a 30% longer run.
    Morvek::setImageFileDecodeThreads(false);
    // A single worker spreads the physical method's reading of its picture over the cores.
    const int threadsPerImage =
        workers < 2 ? int(std::max(1u, std::thread::hardware_concurrency())) : 1;
    progress.show(0); // at once, however soon the first image is done
    WorkerPool::run(
        jobs.size(), workers,
        [&](std::size_t i) { jobs[i].run(options, node ? &extractor : nullptr, threadsPerImage); },
        [&](std::size_t i) {
            for (const std::string& warning : jobs[i].warnings())
                say(warning);
            if (jobs[i].failed()) {
                if (!options.keepGoing) {
                    stopped = &jobs[i];
                    return false;
                }
                ++failures;
                say(jobs[i].error());
            }
            progress.show(i + 1);
            return true;
        },
        [&](std::size_t finished) { progress.show(finished); });
    progress.clear();
    if (stopped != nullptr)
        return fail(exitInput, stopped->error());

    PhaseTimer finish;
    OutputFiles files;
    {
        const PhaseTimer::Scope scope = finish.measure("output");
        std::vector<EnvironmentReport> nodeReports;
        std::vector<PhysicalReport> physicalReports;
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            ImageJob& job = jobs[i];
            if (job.failed())
                continue;
            if (node)
                nodeReports.push_back(job.node());
            else
                physicalReports.push_back(job.physical());
            const auto picture = [&](const std::string& option) {
                return inFolder ? OutputNames::inFolder(options.outputDir, job.name(), option)
                                : OutputNames::numbered(option, i, jobs.size());
            };
            if (!options.overlay.empty() &&
                !files.stage(picture(options.overlay), job.overlayPng(), error))
                return fail(exitInput, error);
            if (!node && !options.preview.empty() &&
                !files.stage(picture(options.preview), job.previewPng(), error))
                return fail(exitInput, error);
            job.dropPictures();
            if (inFolder) {
                const std::string text = format(options, nodeReports, physicalReports);
                nodeReports.clear();
                physicalReports.clear();
                if (!files.stage(OutputNames::inFolder(options.outputDir, job.name(), extension),
                                 text, error))
                    return fail(exitInput, error);
            }
        }
        std::string text;
        if (!inFolder) {
            text = format(options, nodeReports, physicalReports);
            if (!options.output.empty() && !files.stage(options.output, text, error))
                return fail(exitInput, error);
        }
        if (!files.commit(error))
            return fail(exitInput, error);
        if (!inFolder && options.output.empty())
            _out << text << std::flush;
    }

    if (options.timings) {
        log.relay();
        if (node)
            MessageLine::write(_err, "timings: " + setup.summary());
        for (const ImageJob& job : jobs)
            if (!job.failed())
                MessageLine::write(_err, "timings: " + job.name() + ": " + job.timer().summary());
        MessageLine::write(_err, "timings: " + finish.summary());
    }
    return failures > 0 ? exitInput : exitOk;
}

} // namespace envlights
