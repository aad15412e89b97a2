// The Python module `envlights`: numpy pictures in, lights out, through the same preparation,
// extraction and writers as the envlights tool. Errors become Python exceptions here and only
// here; the classes below this file report them as text.

#include "HostThread.h"
#include "ImageArray.h"
#include "Lights.h"

#include <EnvironmentPreparation.h>
#include <FormatWriter.h>
#include <LightsFromImage.h>
#include <MessageLine.h>
#include <PreviewRenderer.h>
#include <RadianceBuffer.h>

#include <morvekSampling/IrradianceError.h>
#include <morvekSampling/PhysicalExtraction.h>
#include <morvekShapeNodePool/ImageFile.h>

#include <OpenSG/OSGBaseFunctions.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <cmath>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace py = pybind11;
using namespace pybind11::literals;

namespace envlights::python {

namespace {

const std::string generator = std::string("envlights ") + ENVLIGHTS_VERSION;

// What the last physical extraction of this thread saw, for the tests: the pixels it read (a
// float32 array is not copied) and whether it held the GIL (it must not).
thread_local const float* lastExtractionPixels = nullptr;
thread_local bool lastExtractionHeldGil = false;

// Made once and never destroyed: the pool it loads stays loaded until the process ends.
LightsFromImage& nodeMethod()
{
    static auto* const lights = new LightsFromImage;
    return *lights;
}

[[noreturn]] void raise(PyObject* type, const std::string& message)
{
    PyErr_SetString(type, MessageLine::escape(message).c_str());
    throw py::error_already_set();
}

void warn(PyObject* category, const std::string& message)
{
    if (!message.empty() && PyErr_WarnEx(category, MessageLine::escape(message).c_str(), 1) < 0)
        throw py::error_already_set();
}

std::string pathText(const py::object& path)
{
    const py::object text = py::module_::import("os").attr("fspath")(path);
    if (py::isinstance<py::bytes>(text))
        return std::string(py::bytes(text));
    return std::string(py::str(text));
}

// The exception for a file the loader refused: an OSError when the file cannot be opened for
// reading (missing, a directory, no permission), a ValueError for what its bytes hold.
PyObject* loadErrorType(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PyExc_FileNotFoundError : PyExc_OSError;
    if (S_ISDIR(status.st_mode))
        return PyExc_IsADirectoryError;
    if (::access(path.c_str(), R_OK) != 0)
        return PyExc_PermissionError;
    return PyExc_ValueError;
}

py::array_t<float> load(const py::object& pathObject)
{
    const std::string path = pathText(pathObject);
    std::string error;
    Morvek::ImageFileInfo info;
    auto pixels = std::make_unique<std::vector<float>>();
    int width = 0;
    int height = 0;
    {
        py::gil_scoped_release release;
        {
            // As envlights reads files, on the caller's thread: OpenSG's containers count
            // their references and numbers atomically.
            osg::ImagePtr image = Morvek::loadImageFile(path, error, info);
            if (image != osg::NullFC) {
                osg::addRefCP(image);
                RadianceBuffer radiance;
                if (radiance.set(image, error)) {
                    const Morvek::RadianceImage& view = radiance.image();
                    width = view.width;
                    height = view.height;
                    const std::size_t rowFloats = 3 * std::size_t(width);
                    pixels->resize(rowFloats * std::size_t(height));
                    for (int row = 0; row < height; ++row)
                        std::copy_n(view.row(row), rowFloats,
                                    pixels->begin() + std::ptrdiff_t(rowFloats * std::size_t(row)));
                }
                osg::subRefCP(image);
            }
        }
    }
    warn(PyExc_UserWarning, info.note);
    if (!error.empty())
        raise(loadErrorType(path), error);
    // The array owns the vector the pixels were decoded into: no second copy.
    std::vector<float>* owned = pixels.release();
    const py::capsule release(owned, [](void* p) { delete static_cast<std::vector<float>*>(p); });
    return py::array_t<float>({py::ssize_t(height), py::ssize_t(width), py::ssize_t(3)},
                              owned->data(), release);
}

void takeImage(ImageArray& array, const py::handle& image)
{
    std::string error;
    switch (array.set(image, error)) {
    case ImageArray::Problem::None:
        return;
    case ImageArray::Problem::Type:
        raise(PyExc_TypeError, error);
    case ImageArray::Problem::Value:
        raise(PyExc_ValueError, error);
    }
}

// The node method on a copy of the picture as an OpenSG image (rows bottom first), prepared as
// envlights prepares a file's image. Runs on the host thread.
bool nodeLightsOnHost(const Morvek::RadianceImage& picture, int n, double rotate,
                      const std::string& name, EnvironmentReport& report, std::string& warning,
                      std::string& error)
{
    if (!EnvironmentPreparation::checkSize(picture.width, picture.height, name, error))
        return false;
    osg::ImagePtr image = osg::Image::create();
    if (image == osg::NullFC) {
        error = name + ": no image could be made";
        return false;
    }
    osg::addRefCP(image);
    osg::beginEditCP(image);
    bool ok = image->set(osg::Image::OSG_RGB_PF, picture.width, picture.height, 1, 1, 1, 0.0,
                         nullptr, osg::Image::OSG_FLOAT32_IMAGEDATA);
    osg::endEditCP(image);
    if (ok) {
        auto* data = reinterpret_cast<float*>(image->editData());
        const std::size_t rowFloats = 3 * std::size_t(picture.width);
        for (int row = 0; row < picture.height; ++row)
            std::copy_n(picture.row(picture.height - 1 - row), rowFloats,
                        data + rowFloats * std::size_t(row));
        ok = EnvironmentPreparation::prepare(image, name, rotate, warning, error) &&
             nodeMethod().node(image, n, name, report, error);
    } else {
        error = name + ": no image of " + std::to_string(picture.width) + " x " +
                std::to_string(picture.height) + " pixels could be made";
    }
    osg::subRefCP(image);
    return ok;
}

Lights extract(const py::handle& image, int n, const std::string& method, double rotate,
               const std::string& name)
{
    const bool physical = method == "physical";
    if (!physical && method != "node")
        raise(PyExc_ValueError, "method: '" + method + "' is not one of physical, node");
    if (n < 0 || n > Morvek::PhysicalExtraction::maxLights)
        raise(PyExc_ValueError, "n: " + std::to_string(n) + " is outside 0 to " +
                                    std::to_string(Morvek::PhysicalExtraction::maxLights));
    if (!std::isfinite(rotate))
        raise(PyExc_ValueError, "rotate: not a finite number of degrees");
    ImageArray array;
    takeImage(array, image);

    std::string warning, error;
    PhysicalReport physicalReport;
    EnvironmentReport nodeReport;
    bool ok = false;
    {
        py::gil_scoped_release release;
        if (physical) {
            EnvironmentPreparation prepared;
            ok = prepared.prepare(array.image(), name, rotate, warning, error) &&
                 LightsFromImage::physical(prepared.image(), n, name, physicalReport, error);
            lastExtractionPixels = prepared.image().rgb;
            lastExtractionHeldGil = PyGILState_Check() != 0;
        } else {
            HostThread::instance().run([&] {
                ok = nodeLightsOnHost(array.image(), n, rotate, name, nodeReport, warning, error);
            });
        }
    }
    warn(PyExc_RuntimeWarning, warning);
    if (!ok)
        raise(PyExc_ValueError, error);
    return physical ? Lights(std::move(physicalReport), rotate)
                    : Lights(std::move(nodeReport), rotate);
}

// The picture `lights` came from, prepared again as extract() prepared it: non-finite pixels
// to 0 (silently: extract() has warned) and the same turn.
void preparePhysical(ImageArray& array, EnvironmentPreparation& prepared, const py::handle& image,
                     const Lights& lights, const char* what)
{
    if (!lights.physical())
        raise(PyExc_ValueError, std::string(what) +
                                    " needs physical lights: the node's colours carry no "
                                    "irradiance");
    takeImage(array, image);
    std::string warning, error;
    if (!prepared.prepare(array.image(), lights.path(), lights.rotateDeg(), warning, error))
        raise(PyExc_ValueError, error);
}

double irradianceError(const py::handle& image, const Lights& lights)
{
    ImageArray array;
    EnvironmentPreparation prepared;
    preparePhysical(array, prepared, image, lights, "irradiance_error");
    py::gil_scoped_release release;
    return Morvek::IrradianceError::measure(prepared.image(), lights.physicalReport().lights);
}

py::array_t<std::uint8_t> preview(const py::handle& image, const Lights& lights)
{
    ImageArray array;
    EnvironmentPreparation prepared;
    preparePhysical(array, prepared, image, lights, "preview");
    auto picture = std::make_unique<PreviewRenderer::Picture>();
    std::string error;
    bool ok = false;
    {
        py::gil_scoped_release release;
        ok = PreviewRenderer::render(prepared.image(), lights.physicalReport().lights, *picture,
                                     error);
    }
    if (!ok)
        raise(PyExc_ValueError, lights.path() + ": cannot draw the preview: " + error);
    PreviewRenderer::Picture* owned = picture.release();
    const py::capsule release(owned,
                              [](void* p) { delete static_cast<PreviewRenderer::Picture*>(p); });
    return py::array_t<std::uint8_t>(
        {py::ssize_t(owned->height), py::ssize_t(owned->width), py::ssize_t(3)}, owned->rgb.data(),
        release);
}

std::string writeFormat(const Lights& lights, const std::string& name,
                        const std::optional<std::string>& up, double irradianceScale)
{
    std::string text, error;
    if (!lights.write(name, up.value_or(""), irradianceScale, generator, text, error))
        raise(PyExc_ValueError, error);
    return text;
}

} // namespace

} // namespace envlights::python

PYBIND11_MODULE(envlights, m)
{
    using namespace envlights::python;
    m.doc() = R"(Directional lights from HDR latitude-longitude environments.

Pictures are numpy arrays, H x W x 3 (RGB) or H x W (grey), top row first: the left edge
faces +X, a quarter of the way across +Z, the centre column -X; Y is up. extract() reads a
C-contiguous float32 H x W x 3 array where it lies, without a copy; other arrays are converted
once (float16 and float64 rounded to float32, uint8 as byte / 255 with no sRGB decoding, grey
copied to R, G and B); other element types raise TypeError, other shapes ValueError.

load() and the physical method run in parallel from several threads, without the GIL. The
node method runs the host runtime, which keeps its scene on one thread: its calls run on one
thread of the module's own, one at a time, whichever thread calls them.)";
    m.attr("__version__") = ENVLIGHTS_VERSION;
    // pybind11 looks numpy's C API up on first use, in a function-local static whose lookup
    // imports numpy and may let go of the GIL: a second thread arriving meanwhile would wait
    // for the static while holding the GIL. Done here, at import, only one thread runs.
    py::array_t<float> numpyReady(1);
    // Images are OpenSG containers, started once here rather than by whichever call comes first.
    if (!osg::osgIsInitialized() && !osg::osgInit(0, nullptr))
        throw py::import_error("envlights: cannot start OpenSG");

    py::class_<Lights> lights(m, "Lights", R"(The lights extract() made for one image.

Physical lights come most powerful first; node lights in the EnvironmentLight's order,
densest region first. print() shows them as envlights' table does.)");
    lights
        .def_property_readonly(
            "method", [](const Lights& l) { return l.physical() ? "physical" : "node"; },
            "'physical' or 'node'.")
        .def_property_readonly("path", &Lights::path, "The name the image was given.")
        .def_property_readonly("width", &Lights::width, "The image's width, pixels.")
        .def_property_readonly("height", &Lights::height, "The image's height, pixels.")
        .def_property_readonly("direction", &Lights::direction,
                               "n x 3 float64: where each light shines (unit vectors, Y up).")
        .def_property_readonly("color", &Lights::color,
                               "n x 3 float64: physical, the irradiance over its largest "
                               "component; node, the generated light's colour.")
        .def_property_readonly("irradiance", &Lights::irradiance,
                               "n x 3 float64: what each light delivers to a surface facing it, "
                               "the image's radiance units times steradians (None for node).")
        .def_property_readonly("solid_angle", &Lights::solidAngle,
                               "n float64: each light's region's solid angle, steradians (None "
                               "for node).")
        .def_property_readonly("region", &Lights::region,
                               "n x 4 int64: x, y, width, height of each light's region in the "
                               "original picture's pixels (before rotate), y from the top row; "
                               "a region turned past the right edge goes on from the left.")
        .def_property_readonly("total_irradiance", &Lights::totalIrradiance,
                               "3 float64: what all lights deliver together (None for node).")
        .def("__len__", &Lights::size)
        .def("__repr__",
             [](const Lights& l) {
                 std::string text = writeFormat(l, "table", std::nullopt, 1.0);
                 if (!text.empty() && text.back() == '\n')
                     text.pop_back();
                 return text;
             })
        .def("to_format", &writeFormat, "name"_a, "up"_a = py::none(), "irradiance_scale"_a = 1.0,
             "The lights in the format `name` (one of envlights.formats), as envlights --format "
             "writes them: `up` 'y' or 'z' (None: the format's own axes) and `irradiance_scale` "
             "as --up and --irradiance-scale. Raises ValueError where envlights refuses them.");
    py::list names;
    py::dict extensions;
    for (const envlights::OutputFormat format : Lights::formats()) {
        const std::string name = envlights::FormatWriter::name(format);
        names.append(name);
        extensions[py::str(name)] = envlights::FormatWriter::extension(format);
        const std::string doc = "The lights as envlights --format " + name + " writes them; " +
                                "to_format('" + name + "', up, irradiance_scale).";
        // pybind11 keeps its own copies of the name and the text.
        lights.def(("to_" + name).c_str(),
                   [name](const Lights& l, const std::optional<std::string>& up, double scale) {
                       return writeFormat(l, name, up, scale);
                   },
                   "up"_a = py::none(), "irradiance_scale"_a = 1.0, py::doc(doc.c_str()));
    }
    m.attr("formats") = py::tuple(names);
    m.attr("extensions") = extensions;

    m.def("load", &load, "path"_a,
          R"(Reads an image file as an H x W x 3 float32 array, top row first.

OpenEXR, Radiance HDR, PNG and JPEG, decided by the file's content; 8-bit pictures become
byte / 255. A file that cannot be opened raises OSError (FileNotFoundError,
IsADirectoryError, PermissionError); a file whose content cannot be read raises ValueError.
The message is the line envlights prints. A name that disagrees with the content gives a
UserWarning.)");
    m.def("extract", &extract, "image"_a, "n"_a = 16, "method"_a = "physical", "rotate"_a = 0.0,
          "name"_a = "image", R"(Turns an environment into n directional lights.

image   H x W x 3 or H x W array-like, top row first (see the module's help for types).
n       lights, 0 to 4096; default 16. physical: exactly n (fewer pixels than n is an error);
        node: the EnvironmentLight's numLights, and fewer come out when its cut ends sooner.
method  'physical' (lights that deliver the environment's irradiance) or 'node' (what the
        lighting node pool's EnvironmentLight makes, with normalised colours).
rotate  degrees to turn the environment about the vertical axis first, counterclockwise seen
        from above, rounded to whole columns; default 0.
name    what the outputs call the image; default 'image'.

As envlights does, pixels that are not finite count as 0 (with a RuntimeWarning), and a picture
smaller than 2 x 2 or larger than 65535 on a side raises ValueError. The GIL is released while
extracting. Returns Lights.)");
    m.def(
        "irradiance_error", &irradianceError, "image"_a, "lights"_a,
        R"(The irradiance error of physical lights on the image they came from (envlights --report).

The luminance irradiance at 2000 normals from the environment and from the lights; the
root-mean-square difference relative to the environment's, 0 for the same lighting, 1 for no
light at all. The image is prepared as extract() prepared it (the lights' rotate).)");
    m.def("preview", &preview, "image"_a, "lights"_a,
          R"(The picture envlights --preview writes, as a 240 x 960 x 3 uint8 array (sRGB).

A diffuse sphere on a ground lit by the environment, by the lights, and their difference.
Physical lights only.)");
    m.def(
        "_last_extraction",
        [] {
            return py::make_tuple(reinterpret_cast<std::uintptr_t>(lastExtractionPixels),
                                  lastExtractionHeldGil);
        },
        "(address of the pixels, whether the GIL was held) of this thread's last physical "
        "extraction, for tests.");
}
