#include "EnvlightsApp.h"

#include "EnvironmentRotation.h"
#include "FormatWriter.h"
#include "LightExtractor.h"
#include "LogRelay.h"
#include "MessageLine.h"
#include "NonFinitePixels.h"
#include "OutputFiles.h"
#include "OverlayRenderer.h"
#include "PhaseTimer.h"
#include "PreviewRenderer.h"
#include "ProceduralSky.h"
#include "RadianceBuffer.h"

#include <morvekSampling/IrradianceError.h>
#include <morvekSampling/PhysicalExtraction.h>
#include <morvekShapeNodePool/ImageFile.h>

#include <OpenSG/OSGBaseFunctions.h>

#include <vector>

namespace envlights {

namespace {

// Holds one reference on an image for the length of a scope.
class ImageHold {
public:
    explicit ImageHold(osg::ImagePtr image) : _image(image)
    {
        if (_image != osg::NullFC)
            osg::addRefCP(_image);
    }
    ~ImageHold()
    {
        if (_image != osg::NullFC)
            osg::subRefCP(_image);
    }
    ImageHold(const ImageHold&) = delete;
    ImageHold& operator=(const ImageHold&) = delete;

private:
    osg::ImagePtr _image;
};

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// The overlay draws the physical lights as it draws the node's: every region of the cut made a
// light, and a mark where each light's direction comes from.
EnvironmentReport overlayReport(const PhysicalReport& physical)
{
    EnvironmentReport report;
    report.path = physical.path;
    report.width = physical.width;
    report.height = physical.height;
    for (const Morvek::PhysicalLight& light : physical.lights) {
        const auto& d = light.direction;
        const auto color = colorIntensity(light.irradiance).color;
        const Morvek::PixelRect& r = light.region;
        const PictureRect region{r.x, r.y, r.width, r.height};
        report.lights.push_back({{float(d[0]), float(d[1]), float(d[2])},
                                 {float(color[0]), float(color[1]), float(color[2])},
                                 region});
        report.leaves.push_back(region);
    }
    return report;
}

} // namespace

std::string EnvlightsApp::overlayPath(const std::string& overlay, std::size_t index,
                                      std::size_t count)
{
    if (count <= 1)
        return overlay;
    const std::size_t slash = overlay.find_last_of('/');
    std::size_t dot = overlay.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == slash + 1 || (slash == std::string::npos && dot == 0))
        dot = overlay.size();
    return overlay.substr(0, dot) + "-" + std::to_string(index + 1) + overlay.substr(dot);
}

int EnvlightsApp::run(const Options& options)
{
    // The libraries' log lines come out as envlights lines too, before the line that ends a run.
    LogRelay log(_err);
    const auto fail = [&](int status, const std::string& message) {
        log.relay();
        MessageLine::write(_err, message);
        return status;
    };
    const bool node = options.method == Method::Node;
    const std::vector<std::string> sources =
        options.images.empty() ? std::vector<std::string>{""} : options.images;

    // Every output is checked before any work, so that a refused one leaves everything as it
    // was: the same names the staging below uses.
    std::vector<std::string> destinations;
    if (!options.output.empty())
        destinations.push_back(options.output);
    for (std::size_t i = 0; !options.overlay.empty() && i < sources.size(); ++i)
        destinations.push_back(overlayPath(options.overlay, i, sources.size()));
    for (std::size_t i = 0; !node && !options.preview.empty() && i < sources.size(); ++i)
        destinations.push_back(overlayPath(options.preview, i, sources.size()));
    std::string error;
    if (!OutputFiles::checkDestinations(destinations, options.images, error))
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

    std::vector<std::string> names;
    std::vector<EnvironmentReport> nodeReports;
    std::vector<PhysicalReport> physicalReports;
    std::vector<PhaseTimer> timers(sources.size());
    std::vector<std::string> overlays;
    std::vector<std::string> previews;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::string& path = sources[i];
        const std::string name = path.empty() ? builtInSkyName : path;
        PhaseTimer& timer = timers[i];
        osg::ImagePtr image = osg::NullFC;
        if (!decode(path, timer, image, error))
            return fail(exitInput, error);
        const ImageHold hold(image);
        if (!prepare(image, name, options.rotateDeg, timer, error))
            return fail(exitInput, error);
        names.push_back(name);

        if (node) {
            EnvironmentReport report;
            report.path = name;
            report.width = image->getWidth();
            report.height = image->getHeight();
            if (!extractor.extract(image, options.lights, report, timer, error))
                return fail(exitInput, name + ": " + error);
            if (!options.overlay.empty()) {
                const PhaseTimer::Scope scope = timer.measure("overlay");
                std::string png;
                if (!OverlayRenderer::renderPng(image, report, png, error))
                    return fail(exitInput, name + ": cannot draw the overlay: " + error);
                overlays.push_back(std::move(png));
            }
            nodeReports.push_back(std::move(report));
            continue;
        }

        PhysicalReport report;
        report.path = name;
        report.width = image->getWidth();
        report.height = image->getHeight();
        RadianceBuffer radiance;
        {
            const PhaseTimer::Scope scope = timer.measure("extraction");
            if (!radiance.set(image, error))
                return fail(exitInput, name + ": " + error);
            Morvek::PhysicalExtraction::Result result =
                Morvek::PhysicalExtraction::extract(radiance.image(), {options.lights});
            if (!result.ok())
                return fail(exitInput, name + ": " + result.error);
            report.lights = std::move(result.lights);
            report.totalIrradiance = result.totalIrradiance;
        }
        if (options.report) {
            const PhaseTimer::Scope scope = timer.measure("irradiance error");
            report.irradianceError =
                Morvek::IrradianceError::measure(radiance.image(), report.lights);
        }
        if (!options.overlay.empty()) {
            const PhaseTimer::Scope scope = timer.measure("overlay");
            std::string png;
            if (!OverlayRenderer::renderPng(image, overlayReport(report), png, error))
                return fail(exitInput, name + ": cannot draw the overlay: " + error);
            overlays.push_back(std::move(png));
        }
        if (!options.preview.empty()) {
            const PhaseTimer::Scope scope = timer.measure("preview");
            std::string png;
            if (!PreviewRenderer::renderPng(radiance.image(), report.lights, png, error))
                return fail(exitInput, name + ": cannot draw the preview: " + error);
            previews.push_back(std::move(png));
        }
        physicalReports.push_back(std::move(report));
    }

    PhaseTimer finish;
    std::string text;
    OutputFiles files;
    {
        const PhaseTimer::Scope scope = finish.measure("output");
        const FormatOptions formatOptions{options.up, options.irradianceScale, options.rotateDeg,
                                          "envlights " + _version};
        text = node ? FormatWriter::write(options.format, nodeReports, formatOptions)
                    : FormatWriter::write(options.format, physicalReports, formatOptions);
        if (!options.output.empty() && !files.stage(options.output, text, error))
            return fail(exitInput, error);
        for (std::size_t i = 0; i < overlays.size(); ++i)
            if (!files.stage(overlayPath(options.overlay, i, overlays.size()), overlays[i], error))
                return fail(exitInput, error);
        for (std::size_t i = 0; i < previews.size(); ++i)
            if (!files.stage(overlayPath(options.preview, i, previews.size()), previews[i], error))
                return fail(exitInput, error);
        if (!files.commit(error))
            return fail(exitInput, error);
        if (options.output.empty())
            _out << text << std::flush;
    }

    if (options.timings) {
        log.relay();
        if (node)
            MessageLine::write(_err, "timings: " + setup.summary());
        for (std::size_t i = 0; i < names.size(); ++i)
            MessageLine::write(_err, "timings: " + names[i] + ": " + timers[i].summary());
        MessageLine::write(_err, "timings: " + finish.summary());
    }
    return exitOk;
}

bool EnvlightsApp::decode(const std::string& path, PhaseTimer& timer, osg::ImagePtr& image,
                          std::string& error)
{
    const PhaseTimer::Scope scope = timer.measure("decode");
    if (path.empty()) {
        image = ProceduralSky().createImage();
        if (image == osg::NullFC)
            error = "the built-in sky could not be made";
        return image != osg::NullFC;
    }
    Morvek::ImageFileInfo info;
    image = Morvek::loadImageFile(path, error, info);
    if (!info.note.empty())
        MessageLine::write(_err, "warning: " + info.note);
    return image != osg::NullFC;
}

bool EnvlightsApp::prepare(osg::ImagePtr image, const std::string& name, double rotateDeg,
                           PhaseTimer& timer, std::string& error)
{
    const int width = image->getWidth();
    const int height = image->getHeight();
    if (width < 2 || height < 2) {
        error = name + ": the image is smaller than 2 x 2 pixels (" + sizeText(width, height) + ")";
        return false;
    }
    if (width > maxSide || height > maxSide) {
        error = name + ": the image is larger than " + std::to_string(maxSide) +
                " pixels on a side (" + sizeText(width, height) + ")";
        return false;
    }
    const PhaseTimer::Scope scope = timer.measure("decode");
    if (const std::uint64_t bad = NonFinitePixels::replaceWithZero(image))
        MessageLine::write(_err, "warning: " + name + ": " + std::to_string(bad) + " pixel" +
                                     (bad == 1 ? " was" : "s were") +
                                     " not finite (NaN or infinity) and " +
                                     (bad == 1 ? "was" : "were") + " set to 0");
    EnvironmentRotation(rotateDeg).apply(image);
    return true;
}

} // namespace envlights
