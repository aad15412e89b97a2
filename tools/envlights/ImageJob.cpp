#include "ImageJob.h"

#include "EnvironmentPreparation.h"
#include "LightExtractor.h"
#include "LightsFromImage.h"
#include "OverlayRenderer.h"
#include "PreviewRenderer.h"
#include "ProceduralSky.h"
#include "RadianceBuffer.h"

#include <morvekSampling/IrradianceError.h>
#include <morvekShapeNodePool/ImageFile.h>

#include <exception>

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

// Each light's share of the lights' power (the luminance of its irradiance), for the size of
// its mark.
std::vector<double> powerShares(const PhysicalReport& physical)
{
    std::vector<double> shares;
    double total = 0.0;
    for (const Morvek::PhysicalLight& light : physical.lights) {
        const auto& e = light.irradiance;
        shares.push_back(0.2126 * e[0] + 0.7152 * e[1] + 0.0722 * e[2]);
        total += shares.back();
    }
    for (double& share : shares)
        share = total > 0.0 ? share / total : 0.0;
    return shares;
}

} // namespace

ImageJob::ImageJob(InputList::Entry input)
    : _source(std::move(input.path)), _name(_source.empty() ? builtInSkyName : _source),
      _error(std::move(input.error))
{
}

void ImageJob::run(const Options& options, LightExtractor* extractor, int threads)
{
    if (failed())
        return;
    try {
        if (!work(options, extractor, threads) && _error.empty())
            _error = _name + ": failed";
    } catch (const std::exception& e) {
        // Allocation failure or a library's exception: this image fails, the run goes on.
        _error = _name + ": " + e.what();
    }
}

void ImageJob::dropPictures()
{
    std::string().swap(_overlayPng);
    std::string().swap(_previewPng);
}

bool ImageJob::work(const Options& options, LightExtractor* extractor, int threads)
{
    osg::ImagePtr image = osg::NullFC;
    if (!decode(image))
        return false;
    const ImageHold hold(image);
    if (!prepare(image, options.rotateDeg))
        return false;

    if (options.method == Method::Physical)
        return extractPhysical(image, options, threads);

    _node.path = _name;
    _node.width = image->getWidth();
    _node.height = image->getHeight();
    std::string error;
    if (!extractor->extract(image, options.lights, _node, _timer, error)) {
        _error = _name + ": " + error;
        return false;
    }
    if (!options.overlay.empty()) {
        const PhaseTimer::Scope scope = _timer.measure("overlay");
        if (!OverlayRenderer::renderPng(image, _node, {{}, "node", "densest region"}, _overlayPng,
                                        error)) {
            _error = _name + ": cannot draw the overlay: " + error;
            return false;
        }
    }
    return true;
}

bool ImageJob::extractPhysical(osg::ImagePtr image, const Options& options, int threads)
{
    std::string error;
    RadianceBuffer radiance;
    {
        const PhaseTimer::Scope scope = _timer.measure("extraction");
        if (!radiance.set(image, error)) {
            _error = _name + ": " + error;
            return false;
        }
        if (!LightsFromImage::physical(radiance.image(), options.lights, _name, _physical, _error,
                                       threads))
            return false;
    }
    if (options.report) {
        const PhaseTimer::Scope scope = _timer.measure("irradiance error");
        _physical.irradianceError =
            Morvek::IrradianceError::measure(radiance.image(), _physical.lights);
    }
    if (!options.overlay.empty()) {
        const PhaseTimer::Scope scope = _timer.measure("overlay");
        const OverlayRenderer::Content content{powerShares(_physical), "physical", "most powerful"};
        if (!OverlayRenderer::renderPng(image, overlayReport(_physical), content, _overlayPng,
                                        error)) {
            _error = _name + ": cannot draw the overlay: " + error;
            return false;
        }
    }
    if (!options.preview.empty()) {
        const PhaseTimer::Scope scope = _timer.measure("preview");
        if (!PreviewRenderer::renderPng(radiance.image(), _physical.lights, _previewPng, error)) {
            _error = _name + ": cannot draw the preview: " + error;
            return false;
        }
    }
    return true;
}

bool ImageJob::decode(osg::ImagePtr& image)
{
    const PhaseTimer::Scope scope = _timer.measure("decode");
    if (_source.empty()) {
        image = ProceduralSky().createImage();
        if (image == osg::NullFC)
            _error = "the built-in sky could not be made";
        return image != osg::NullFC;
    }
    Morvek::ImageFileInfo info;
    image = Morvek::loadImageFile(_source, _error, info);
    _valuesFinite = info.finiteValues;
    if (!info.note.empty())
        _warnings.push_back("warning: " + info.note);
    return image != osg::NullFC;
}

bool ImageJob::prepare(osg::ImagePtr image, double rotateDeg)
{
    const PhaseTimer::Scope scope = _timer.measure("decode");
    std::string warning;
    if (!EnvironmentPreparation::prepare(image, _name, rotateDeg, warning, _error, _valuesFinite))
        return false;
    if (!warning.empty())
        _warnings.push_back("warning: " + warning);
    return true;
}

} // namespace envlights
