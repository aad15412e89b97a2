#pragma once

// What extract() gives Python: the lights of one image by one method, their numbers as numpy
// arrays, and every output format of the tool through its FormatWriter: the module makes
// to_<name>() of each format and to_format(name) reaches all of them.

#include <EnvironmentReport.h>
#include <FormatOptions.h>
#include <PhysicalReport.h>

#include <pybind11/numpy.h>

#include <optional>
#include <string>
#include <vector>

namespace envlights::python {

class Lights {
public:
    /// Every output format, in the order of OutputFormat.
    static const std::vector<OutputFormat>& formats();

    Lights(PhysicalReport report, double rotateDeg);
    Lights(EnvironmentReport report, double rotateDeg);

    bool physical() const { return _physical; }
    const PhysicalReport& physicalReport() const { return _physicalReport; }
    double rotateDeg() const { return _rotateDeg; }
    const std::string& path() const;
    int width() const;
    int height() const;
    std::size_t size() const;

    /// n x 3 float64: where each light shines (unit vectors, Y up).
    pybind11::array_t<double> direction() const;
    /// n x 3 float64: each light's colour (physical: its irradiance over its largest
    /// component; node: the generated light's colour).
    pybind11::array_t<double> color() const;
    /// n x 3 float64 (physical; None for the node method).
    pybind11::object irradiance() const;
    /// n float64, steradians (physical; None for the node method).
    pybind11::object solidAngle() const;
    /// n x 4 int64: x, y, width, height in the original picture's pixels (before the turn), y
    /// from the top row, as the formats give them.
    pybind11::array_t<std::int64_t> region() const;
    /// 3 float64 (physical; None for the node method).
    pybind11::object totalIrradiance() const;

    /// The text of format `name` ("table", "gltf", ...) with the axes `up` ("y", "z" or empty
    /// for the format's own) and `irradianceScale`; false with one line in `error` for an
    /// unknown name or an option or method the format does not take, as envlights refuses them.
    bool write(const std::string& name, const std::string& up, double irradianceScale,
               const std::string& generator, std::string& text, std::string& error) const;

private:
    bool _physical;
    PhysicalReport _physicalReport;
    EnvironmentReport _nodeReport;
    double _rotateDeg;
};

} // namespace envlights::python
