// Feeds arbitrary bytes to the image loader under every format it detects. Besides the
// sanitizers' reports, a fault is a result that breaks the loader's promises: an image and an
// error at once (or neither), an error that does not name the input, or an image whose size,
// format and data type disagree with its pixel data.

#include <morvekShapeNodePool/ImageFile.h>

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGImage.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void fault(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "image loader fault: %s: %s\n", what, detail.c_str());
    std::abort();
}

void checkImage(const osg::ImagePtr& image)
{
    const std::string size =
        std::to_string(image->getWidth()) + " x " + std::to_string(image->getHeight());
    if (image->getWidth() < 1 || image->getHeight() < 1 || image->getDepth() != 1)
        fault("empty image", size);
    if (image->getPixelFormat() != osg::Image::OSG_RGB_PF)
        fault("not RGB", size);
    const osg::Int32 type = image->getDataType();
    const std::size_t bytesPerValue = type == osg::Image::OSG_FLOAT32_IMAGEDATA ? 4
                                      : type == osg::Image::OSG_UINT8_IMAGEDATA ? 1
                                                                                : 0;
    if (bytesPerValue == 0)
        fault("unexpected data type", std::to_string(type));
    const std::size_t expected =
        std::size_t(image->getWidth()) * std::size_t(image->getHeight()) * 3 * bytesPerValue;
    if (image->getData() == nullptr || std::size_t(image->getSize()) < expected)
        fault("pixel data shorter than the size says", size);
    // Every value is read once, so that the sanitizers see reads of unwritten or freed data.
    unsigned sum = 0;
    for (std::size_t i = 0; i < expected; ++i)
        sum += image->getData()[i];
    asm volatile("" : : "r"(sum)); // the sum is needed: the loop stays
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool started = osg::osgInit(0, nullptr);
    if (!started)
        fault("OpenSG did not start", "");

    // No extension: the content alone decides the format, and no note is made.
    const std::string name = "input";
    std::string error;
    Morvek::ImageFileInfo info;
    osg::ImagePtr image = Morvek::loadImageData(data, size, name, error, info);
    if (image == osg::NullFC) {
        if (error.empty())
            fault("no image and no error", "");
        if (error.rfind(name + ": ", 0) != 0)
            fault("the error does not name the input", error);
        return 0;
    }
    osg::addRefCP(image);
    if (!error.empty())
        fault("an image and an error", error);
    if (info.format == Morvek::ImageFileFormat::Unknown || !info.note.empty())
        fault("format or note", info.note);
    checkImage(image);
    osg::subRefCP(image);
    return 0;
}
