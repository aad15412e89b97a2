#pragma once

// What extract() gives Python: the lights of one image by one method, their numbers as numpy
// arrays, and the tool's text formats. Every format is one row of formats(): a name and how it
// writes each method's results; the module makes to_<name>() of each row, and to_format(name)
// reaches all of them.

#include <EnvironmentReport.h>
#include <PhysicalReport.h>

#include <pybind11/numpy.h>

#include <string>
#include <vector>

namespace envlights::python {

class Lights {
public:
    /// Writes one image's lights in a format. `generator` names the program in documents that
    /// carry it ("envlights 0.1.0").
    using PhysicalWriter = std::string (*)(const std::vector<PhysicalReport>& reports,
                                           const std::string& generator);
    using NodeWriter = std::string (*)(const std::vector<EnvironmentReport>& reports,
                                       const std::string& generator);
    struct Format {
        const char* name;
        PhysicalWriter physical;
        NodeWriter node; ///< null for a format that takes physical lights only
    };
    static const std::vector<Format>& formats();

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
    /// n x 4 int64: x, y, width, height in picture pixels, y from the top row.
    pybind11::array_t<std::int64_t> region() const;
    /// 3 float64 (physical; None for the node method).
    pybind11::object totalIrradiance() const;

    /// The text of format `name`; false with one line in `error` for an unknown name or a
    /// format that does not take this method's lights.
    bool write(const std::string& name, const std::string& generator, std::string& text,
               std::string& error) const;

private:
    bool _physical;
    PhysicalReport _physicalReport;
    EnvironmentReport _nodeReport;
    double _rotateDeg;
};

} // namespace envlights::python
