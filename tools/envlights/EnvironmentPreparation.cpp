#include "EnvironmentPreparation.h"

#include "EnvironmentRotation.h"
#include "NonFinitePixels.h"

namespace envlights {

namespace {

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

bool EnvironmentPreparation::checkSize(int width, int height, const std::string& name,
                                       std::string& error)
{
    if (width < minSide || height < minSide) {
        error = name + ": the image is smaller than 2 x 2 pixels (" + sizeText(width, height) + ")";
        return false;
    }
    if (width > maxSide || height > maxSide) {
        error = name + ": the image is larger than " + std::to_string(maxSide) +
                " pixels on a side (" + sizeText(width, height) + ")";
        return false;
    }
    return true;
}

std::string EnvironmentPreparation::nonFiniteWarning(const std::string& name, std::uint64_t count)
{
    return name + ": " + std::to_string(count) + " pixel" + (count == 1 ? " was" : "s were") +
           " not finite (NaN or infinity) and " + (count == 1 ? "was" : "were") + " set to 0";
}

bool EnvironmentPreparation::prepare(osg::ImagePtr image, const std::string& name, double rotateDeg,
                                     std::string& warning, std::string& error, bool valuesFinite)
{
    warning.clear();
    if (!checkSize(image->getWidth(), image->getHeight(), name, error))
        return false;
    // The pass reads every pixel: at 4096 x 2048 it costs about as much as the decode itself.
    if (const std::uint64_t bad = valuesFinite ? 0 : NonFinitePixels::replaceWithZero(image))
        warning = nonFiniteWarning(name, bad);
    EnvironmentRotation(rotateDeg).apply(image);
    return true;
}

bool EnvironmentPreparation::prepare(const Morvek::RadianceImage& view, const std::string& name,
                                     double rotateDeg, std::string& warning, std::string& error)
{
    _image = {};
    _copy.clear();
    warning.clear();
    if (!checkSize(view.width, view.height, name, error))
        return false;
    const std::size_t width = static_cast<std::size_t>(view.width);
    const std::size_t pixels = width * static_cast<std::size_t>(view.height);
    const std::uint64_t bad = NonFinitePixels::count(view.rgb, pixels, 3);
    const EnvironmentRotation rotation(rotateDeg);
    _image = view;
    if (bad == 0 && rotation.columnShift(view.width) == 0)
        return true;

    _copy.assign(view.rgb, view.rgb + 3 * pixels);
    if (bad != 0) {
        NonFinitePixels::replaceWithZero(_copy.data(), pixels, 3);
        warning = nonFiniteWarning(name, bad);
    }
    rotation.apply(reinterpret_cast<unsigned char*>(_copy.data()), 3 * sizeof(float), view.width,
                   view.height);
    _image.rgb = _copy.data();
    return true;
}

} // namespace envlights
