#include "ImageArray.h"

#include <EnvironmentPreparation.h>

#include <cstdint>
#include <limits>

namespace py = pybind11;

namespace envlights::python {

namespace {

std::string shapeText(const py::array& array)
{
    std::string text = "(";
    for (py::ssize_t d = 0; d < array.ndim(); ++d)
        text += (d ? ", " : "") + std::to_string(array.shape(d));
    return text + (array.ndim() == 1 ? ",)" : ")");
}

} // namespace

ImageArray::Problem ImageArray::set(py::handle object, std::string& error)
{
    _image = {};
    _borrowed = false;
    _array = py::array::ensure(object);
    if (!_array) {
        PyErr_Clear();
        error = "image: not an array";
        return Problem::Type;
    }
    const py::dtype type = _array.dtype();
    const char kind = type.kind();
    const bool floating =
        kind == 'f' && (type.itemsize() == 2 || type.itemsize() == 4 || type.itemsize() == 8);
    const bool bytes = kind == 'u' && type.itemsize() == 1;
    if (!floating && !bytes) {
        error = "image: elements of type " + std::string(py::str(py::handle(type))) +
                " are not taken; give float32, float16, float64 or uint8";
        return Problem::Type;
    }
    const bool grey = _array.ndim() == 2;
    if (!grey && !(_array.ndim() == 3 && _array.shape(2) == 3)) {
        error = "image: an array of shape " + shapeText(_array) +
                " is not a picture; give H x W x 3 (RGB) or H x W (grey)";
        return Problem::Value;
    }
    // Sizes beyond an int are refused by the size check all the same.
    const auto side = [](py::ssize_t n) {
        return static_cast<int>(std::min<py::ssize_t>(n, std::numeric_limits<int>::max()));
    };
    const int height = side(_array.shape(0));
    const int width = side(_array.shape(1));
    std::string unused;
    if (!EnvironmentPreparation::checkSize(width, height, "image", unused)) {
        // Not converted: the size check reports it with the picture's size.
        _image = {nullptr, width, height, false};
        return Problem::None;
    }

    constexpr auto cOrder = py::array::c_style;
    const bool aligned = reinterpret_cast<std::uintptr_t>(_array.data()) % alignof(float) == 0;
    if (!grey && type.is(py::dtype::of<float>()) && (_array.flags() & cOrder) && aligned) {
        _borrowed = true;
    } else if (bytes) {
        const auto source = py::array_t<std::uint8_t, cOrder>::ensure(_array);
        py::array_t<float, cOrder> widened(source.size());
        const std::uint8_t* in = source.data();
        float* out = widened.mutable_data();
        for (py::ssize_t i = 0; i < source.size(); ++i)
            out[i] = in[i] / 255.0f;
        _array = widened;
    } else {
        _array = py::array_t<float, cOrder | py::array::forcecast>::ensure(_array);
    }
    if (!_array) {
        error = "image: the array could not be read as float32";
        return Problem::Type;
    }
    if (grey) {
        const float* in = static_cast<const float*>(_array.data());
        const std::size_t pixels = std::size_t(width) * std::size_t(height);
        py::array_t<float, cOrder> rgb(py::ssize_t(3 * pixels));
        float* out = rgb.mutable_data();
        for (std::size_t p = 0; p < pixels; ++p)
            out[3 * p] = out[3 * p + 1] = out[3 * p + 2] = in[p];
        _array = rgb;
    }
    _image = {static_cast<const float*>(_array.data()), width, height, false};
    return Problem::None;
}

} // namespace envlights::python
