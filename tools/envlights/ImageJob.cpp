#include "ImageJob.h"

#include "EnvironmentRotation.h"
#include "LightExtractor.h"
#include "NonFinitePixels.h"
#include "OverlayRenderer.h"
#include "PreviewRenderer.h"
#include "ProceduralSky.h"
#include "RadianceBuffer.h"

#include <morvekSampling/IrradianceError.h>
#include <morvekSampling/PhysicalExtraction.h>
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

void ImageJob::run(const Options& options, LightExtractor* extractor)
{
    if (failed())
        return;
    try {
        if (!work(options, extractor) && _error.empty())
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

bool ImageJob::work(const Options& options, LightExtractor* extractor)
{
    osg::ImagePtr image = osg::NullFC;
    if (!decode(image))
        return false;
    const ImageHold hold(image);
    if (!prepare(image, options.rotateDeg))
        return false;

    if (options.method == Method::Physical)
        return extractPhysical(image, options);

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

bool ImageJob::extractPhysical(osg::ImagePtr image, const Options& options)
{
    _physical.path = _name;
    _physical.width = image->getWidth();
    _physical.height = image->getHeight();
    std::string error;
    RadianceBuffer radiance;
    {
        const PhaseTimer::Scope scope = _timer.measure("extraction");
        if (!radiance.set(image, error)) {
            _error = _name + ": " + error;
            return false;
        }
        Morvek::PhysicalExtraction::Result result =
            Morvek::PhysicalExtraction::extract(radiance.image(), {options.lights});
        if (!result.ok()) {
            _error = _name + ": " + result.error;
            return false;
        }
        _physical.lights = std::move(result.lights);
        _physical.totalIrradiance = result.totalIrradiance;
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
    if (!info.note.empty())
        _warnings.push_back("warning: " + info.note);
    return image != osg::NullFC;
}

bool ImageJob::prepare(osg::ImagePtr image, double rotateDeg)
{
    const int width = image->getWidth();
    const int height = image->getHeight();
    if (width < 2 || height < 2) {
        _error =
            _name + ": the image is smaller than 2 x 2 pixels (" + sizeText(width, height) + ")";
        return false;
    }
    if (width > maxSide || height > maxSide) {
        _error = _name + ": the image is larger than " + std::to_string(maxSide) +
                 " pixels on a side (" + sizeText(width, height) + ")";
        return false;
    }
    const PhaseTimer::Scope scope = _timer.measure("decode");
    if (const std::uint64_t bad = NonFinitePixels::replaceWithZero(image))
        _warnings.push_back("warning: " + _name + ": " + std::to_string(bad) + " pixel" +
                            (bad == 1 ? " was" : "s were") + " not finite (NaN or infinity) and " +
                            (bad == 1 ? "was" : "were") + " set to 0");
    EnvironmentRotation(rotateDeg).apply(image);
    return true;
}

} // namespace envlights
