#include "EnvlightsApp.h"

#include "EnvironmentRotation.h"
#include "JsonWriter.h"
#include "LightExtractor.h"
#include "NonFinitePixels.h"
#include "OutputFiles.h"
#include "OverlayRenderer.h"
#include "PhaseTimer.h"
#include "ProceduralSky.h"
#include "TableWriter.h"
#include "X3dWriter.h"

#include <morvekShapeNodePool/ImageFile.h>

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
    const auto fail = [&](int status, const std::string& message) {
        _err << "envlights: " << message << '\n';
        return status;
    };

    PhaseTimer setup;
    LightExtractor extractor;
    std::string error;
    {
        const PhaseTimer::Scope scope = setup.measure("load plug-in");
        if (!extractor.loadPlugin(error))
            return fail(exitInput, "cannot load the lighting node pool: " + error);
    }

    const std::vector<std::string> sources =
        options.images.empty() ? std::vector<std::string>{""} : options.images;
    std::vector<EnvironmentReport> reports;
    std::vector<PhaseTimer> timers(sources.size());
    std::vector<std::string> overlays;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::string& path = sources[i];
        PhaseTimer& timer = timers[i];
        EnvironmentReport report;
        report.path = path.empty() ? builtInSkyName : path;

        osg::ImagePtr image = osg::NullFC;
        {
            const PhaseTimer::Scope scope = timer.measure("decode");
            if (path.empty()) {
                image = ProceduralSky().createImage();
                if (image == osg::NullFC)
                    return fail(exitInput, "the built-in sky could not be made");
            } else {
                Morvek::ImageFileInfo info;
                image = Morvek::loadImageFile(path, error, info);
                if (!info.note.empty())
                    _err << "envlights: warning: " << info.note << '\n';
                if (image == osg::NullFC)
                    return fail(exitInput, error);
            }
        }
        const ImageHold hold(image);
        report.width = image->getWidth();
        report.height = image->getHeight();
        if (report.width < 2 || report.height < 2)
            return fail(exitInput, report.path + ": the image is smaller than 2 x 2 pixels (" +
                                       sizeText(report.width, report.height) + ")");
        if (report.width > maxSide || report.height > maxSide)
            return fail(exitInput, report.path + ": the image is larger than " +
                                       std::to_string(maxSide) + " pixels on a side (" +
                                       sizeText(report.width, report.height) + ")");
        {
            const PhaseTimer::Scope scope = timer.measure("decode");
            if (const std::uint64_t bad = NonFinitePixels::replaceWithZero(image))
                _err << "envlights: warning: " << report.path << ": " << bad << " pixel"
                     << (bad == 1 ? " was" : "s were") << " not finite (NaN or infinity) and "
                     << (bad == 1 ? "was" : "were") << " set to 0\n";
            EnvironmentRotation(options.rotateDeg).apply(image);
        }
        if (!extractor.extract(image, options.lights, report, timer, error))
            return fail(exitInput, report.path + ": " + error);
        if (!options.overlay.empty()) {
            const PhaseTimer::Scope scope = timer.measure("overlay");
            std::string png;
            if (!OverlayRenderer::renderPng(image, report, png, error))
                return fail(exitInput, report.path + ": cannot draw the overlay: " + error);
            overlays.push_back(std::move(png));
        }
        reports.push_back(std::move(report));
    }

    PhaseTimer finish;
    std::string text;
    OutputFiles files;
    {
        const PhaseTimer::Scope scope = finish.measure("output");
        switch (options.format) {
        case OutputFormat::Table:
            text = TableWriter::write(reports);
            break;
        case OutputFormat::Json:
            text = JsonWriter::write(reports);
            break;
        case OutputFormat::X3d:
            text = X3dWriter::write(reports, "envlights " + _version);
            break;
        }
        if (!options.output.empty() && !files.stage(options.output, text, error))
            return fail(exitInput, error);
        for (std::size_t i = 0; i < overlays.size(); ++i)
            if (!files.stage(overlayPath(options.overlay, i, overlays.size()), overlays[i], error))
                return fail(exitInput, error);
        if (!files.commit(error))
            return fail(exitInput, error);
        if (options.output.empty())
            _out << text << std::flush;
    }

    if (options.timings) {
        _err << "envlights: timings: " << setup.summary() << '\n';
        for (std::size_t i = 0; i < reports.size(); ++i)
            _err << "envlights: timings: " << reports[i].path << ": " << timers[i].summary()
                 << '\n';
        _err << "envlights: timings: " << finish.summary() << '\n';
    }
    return exitOk;
}

} // namespace envlights
