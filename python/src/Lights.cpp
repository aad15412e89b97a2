#include "Lights.h"

#include <EnvironmentRotation.h>
#include <FormatWriter.h>

#include <algorithm>
#include <cmath>

namespace py = pybind11;

namespace envlights::python {

namespace {

template <class Value, class Fill>
py::array_t<Value> table(std::size_t rows, std::size_t columns, Fill fill)
{
    py::array_t<Value> array(std::vector<py::ssize_t>{py::ssize_t(rows), py::ssize_t(columns)});
    Value* out = array.mutable_data();
    for (std::size_t i = 0; i < rows; ++i)
        fill(i, out + i * columns);
    return array;
}

} // namespace

const std::vector<OutputFormat>& Lights::formats()
{
    static const std::vector<OutputFormat> all = {
        OutputFormat::Table, OutputFormat::Json, OutputFormat::X3d,     OutputFormat::Gltf,
        OutputFormat::Usda,  OutputFormat::Pbrt, OutputFormat::Mitsuba, OutputFormat::Blender};
    return all;
}

Lights::Lights(PhysicalReport report, double rotateDeg)
    : _physical(true), _physicalReport(std::move(report)), _rotateDeg(rotateDeg)
{
}

Lights::Lights(EnvironmentReport report, double rotateDeg)
    : _physical(false), _nodeReport(std::move(report)), _rotateDeg(rotateDeg)
{
}

const std::string& Lights::path() const
{
    return _physical ? _physicalReport.path : _nodeReport.path;
}

int Lights::width() const { return _physical ? _physicalReport.width : _nodeReport.width; }

int Lights::height() const { return _physical ? _physicalReport.height : _nodeReport.height; }

std::size_t Lights::size() const
{
    return _physical ? _physicalReport.lights.size() : _nodeReport.lights.size();
}

py::array_t<double> Lights::direction() const
{
    return table<double>(size(), 3, [&](std::size_t i, double* out) {
        for (int k = 0; k < 3; ++k)
            out[k] = _physical ? _physicalReport.lights[i].direction[k]
                               : _nodeReport.lights[i].direction[k];
    });
}

py::array_t<double> Lights::color() const
{
    return table<double>(size(), 3, [&](std::size_t i, double* out) {
        const auto physicalColor = _physical
                                       ? colorIntensity(_physicalReport.lights[i].irradiance).color
                                       : std::array<double, 3>{};
        for (int k = 0; k < 3; ++k)
            out[k] = _physical ? physicalColor[k] : _nodeReport.lights[i].color[k];
    });
}

py::object Lights::irradiance() const
{
    if (!_physical)
        return py::none();
    return table<double>(size(), 3, [&](std::size_t i, double* out) {
        for (int k = 0; k < 3; ++k)
            out[k] = _physicalReport.lights[i].irradiance[k];
    });
}

py::object Lights::solidAngle() const
{
    if (!_physical)
        return py::none();
    py::array_t<double> array{py::ssize_t(size())};
    for (std::size_t i = 0; i < size(); ++i)
        array.mutable_data()[i] = _physicalReport.lights[i].solidAngle;
    return array;
}

py::array_t<std::int64_t> Lights::region() const
{
    return table<std::int64_t>(size(), 4, [&](std::size_t i, std::int64_t* out) {
        const PictureRect r = EnvironmentRotation(_rotateDeg)
                                  .originalRegion(_physical ? _physicalReport.lights[i].region
                                                            : _nodeReport.lights[i].region,
                                                  width());
        out[0] = r.x;
        out[1] = r.y;
        out[2] = r.width;
        out[3] = r.height;
    });
}

py::object Lights::totalIrradiance() const
{
    if (!_physical)
        return py::none();
    py::array_t<double> array(3);
    for (int k = 0; k < 3; ++k)
        array.mutable_data()[k] = _physicalReport.totalIrradiance[k];
    return array;
}

bool Lights::write(const std::string& name, const std::string& up, double irradianceScale,
                   const std::string& generator, std::string& text, std::string& error) const
{
    const std::vector<OutputFormat>& all = formats();
    const auto format = std::find_if(all.begin(), all.end(),
                                     [&](OutputFormat f) { return name == FormatWriter::name(f); });
    if (format == all.end()) {
        error = "format: '" + name + "' is not one of";
        for (const OutputFormat f : all)
            error += std::string(" ") + FormatWriter::name(f);
        return false;
    }
    FormatOptions options;
    options.rotateDeg = _rotateDeg;
    options.generator = generator;
    if (!up.empty()) {
        if (up != "y" && up != "z") {
            error = "up: '" + up + "' is not one of y, z";
            return false;
        }
        options.up = up == "y" ? UpAxis::Y : UpAxis::Z;
        if (options.up == UpAxis::Z && FormatWriter::alwaysYUp(*format)) {
            error = "up z: the " + name + " format is always Y-up";
            return false;
        }
    }
    if (!std::isfinite(irradianceScale) || !(irradianceScale > 0.0)) {
        error = "irradiance_scale: not a positive number";
        return false;
    }
    if (irradianceScale != 1.0 && !FormatWriter::scalesIrradiance(*format)) {
        error = "irradiance_scale: the " + name + " format gives irradiances unscaled";
        return false;
    }
    options.irradianceScale = irradianceScale;
    if (_physical) {
        text = FormatWriter::write(*format, {_physicalReport}, options);
        return true;
    }
    if (!FormatWriter::carriesNodeLights(*format)) {
        error = "format " + name + ": the node method's colours are not irradiances";
        return false;
    }
    text = FormatWriter::write(*format, {_nodeReport}, options);
    return true;
}

} // namespace envlights::python
