#include "Lights.h"

#include <JsonWriter.h>
#include <TableWriter.h>
#include <X3dWriter.h>

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

const std::vector<Lights::Format>& Lights::formats()
{
    // One row per format; the writers take several images, one is given here.
    static const std::vector<Format> rows = {
        {"table", [](const auto& r, const auto&) { return TableWriter::write(r); },
         [](const auto& r, const auto&) { return TableWriter::write(r); }},
        {"json", [](const auto& r, const auto&) { return JsonWriter::write(r); },
         [](const auto& r, const auto&) { return JsonWriter::write(r); }},
        {"x3d", [](const auto& r, const auto& g) { return X3dWriter::write(r, g); },
         [](const auto& r, const auto& g) { return X3dWriter::write(r, g); }},
    };
    return rows;
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
        const PictureRect& r =
            _physical ? _physicalReport.lights[i].region : _nodeReport.lights[i].region;
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

bool Lights::write(const std::string& name, const std::string& generator, std::string& text,
                   std::string& error) const
{
    for (const Format& format : formats()) {
        if (name != format.name)
            continue;
        if (_physical) {
            text = format.physical({_physicalReport}, generator);
            return true;
        }
        if (!format.node) {
            error = "format " + name + ": takes physical lights only";
            return false;
        }
        text = format.node({_nodeReport}, generator);
        return true;
    }
    error = "format '" + name + "' is not one of";
    for (const Format& format : formats())
        error += std::string(" ") + format.name;
    return false;
}

} // namespace envlights::python
