#include "LightsFromImage.h"

#include <morvekSampling/PhysicalExtraction.h>

namespace envlights {

bool LightsFromImage::physical(const Morvek::RadianceImage& image, int lights,
                               const std::string& name, PhysicalReport& report, std::string& error,
                               int threads)
{
    Morvek::PhysicalExtraction::Result result =
        Morvek::PhysicalExtraction::extract(image, {lights, threads});
    if (!result.ok()) {
        error = name + ": " + result.error;
        return false;
    }
    report.path = name;
    report.width = image.width;
    report.height = image.height;
    report.lights = std::move(result.lights);
    report.totalIrradiance = result.totalIrradiance;
    return true;
}

bool LightsFromImage::node(osg::ImagePtr image, int numLights, const std::string& name,
                           EnvironmentReport& report, std::string& error, PhaseTimer* timer)
{
    if (!_loaded && !_extractor.loadPlugin(error)) {
        error = "cannot load the lighting node pool: " + error;
        return false;
    }
    _loaded = true;
    report.path = name;
    report.width = image->getWidth();
    report.height = image->getHeight();
    PhaseTimer untimed;
    if (!_extractor.extract(image, numLights, report, timer ? *timer : untimed, error)) {
        error = name + ": " + error;
        return false;
    }
    return true;
}

} // namespace envlights
