#include "EnvironmentPreparation.h"

#include "EnvironmentRotation.h"
#include "NonFinitePixels.h"

#include <algorithm>
#include <cmath>

namespace envlights {

namespace {

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

bool finitePixel(const float* rgb)
{
    return std::isfinite(rgb[0]) && std::isfinite(rgb[1]) && std::isfinite(rgb[2]);
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
                                     std::string& warning, std::string& error)
{
    warning.clear();
    if (!checkSize(image->getWidth(), image->getHeight(), name, error))
        return false;
    if (const std::uint64_t bad = NonFinitePixels::replaceWithZero(image))
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
    std::uint64_t bad = 0;
    for (std::size_t p = 0; p < pixels; ++p)
        bad += finitePixel(view.rgb + 3 * p) ? 0 : 1;
    const int shift = EnvironmentRotation(rotateDeg).columnShift(view.width);
    _image = view;
    if (bad == 0 && shift == 0)
        return true;

    _copy.assign(view.rgb, view.rgb + 3 * pixels);
    for (std::size_t p = 0; bad != 0 && p < pixels; ++p)
        if (!finitePixel(&_copy[3 * p]))
            std::fill_n(&_copy[3 * p], 3, 0.0f);
    if (bad != 0)
        warning = nonFiniteWarning(name, bad);
    // The same turn as EnvironmentRotation::apply: each row moves `shift` columns left.
    const std::size_t rowFloats = 3 * width;
    for (std::size_t row = 0; shift != 0 && row < pixels / width; ++row) {
        const auto begin = _copy.begin() + static_cast<std::ptrdiff_t>(row * rowFloats);
        std::rotate(begin, begin + 3 * shift, begin + static_cast<std::ptrdiff_t>(rowFloats));
    }
    _image.rgb = _copy.data();
    return true;
}

} // namespace envlights
