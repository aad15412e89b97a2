#pragma once

// What envlights does to every environment before either method reads it: the size is checked,
// pixels with a NaN or infinite component become black (one warning counts them) and the
// environment is turned about the vertical axis. An OpenSG image is changed in place; a float
// view is read where it lies and copied only when a pixel must change or a turn is asked for,
// so that the caller's pixels are never written.

#include <morvekSampling/RadianceImage.h>

#include <OpenSG/OSGImage.h>

#include <cstdint>
#include <string>
#include <vector>

namespace envlights {

class EnvironmentPreparation {
public:
    /// Images above this size on a side do not fit the environment light's 16-bit tables.
    static constexpr int maxSide = 65535;
    /// Images below this size on a side have no picture to cut.
    static constexpr int minSide = 2;

    /// False with the one-line `error` (starting with `name`) when width or height lies outside
    /// minSide..maxSide.
    static bool checkSize(int width, int height, const std::string& name, std::string& error);

    /// The warning line for `count` (> 0) pixels of `name` that were set to 0.
    static std::string nonFiniteWarning(const std::string& name, std::uint64_t count);

    /// Checks, zeroes and turns `image` (uncompressed RGB, float or 8-bit) in place; `warning`
    /// gets the non-finite warning or stays empty. `valuesFinite` says the pixels came from a
    /// format that cannot hold a NaN or an infinity: the pass that looks for them is skipped.
    static bool prepare(osg::ImagePtr image, const std::string& name, double rotateDeg,
                        std::string& warning, std::string& error, bool valuesFinite = false);

    /// The same for a float RGB view, which must outlive this object: image() is then `view`
    /// itself, or a copy owned here when a pixel was not finite or `rotateDeg` turns it by at
    /// least one column.
    bool prepare(const Morvek::RadianceImage& view, const std::string& name, double rotateDeg,
                 std::string& warning, std::string& error);

    /// The prepared view (empty until prepare() succeeded).
    const Morvek::RadianceImage& image() const { return _image; }

private:
    std::vector<float> _copy;
    Morvek::RadianceImage _image;
};

} // namespace envlights
