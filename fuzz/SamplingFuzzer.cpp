// Feeds arbitrary bytes through what follows the loader in envlights: the first byte is the
// number of lights, the rest a picture file. A decoded picture of at most 256 x 256 pixels goes
// through the physical extraction and through the node's summed-area tables and median cut.
// Besides the sanitizers' reports, a fault is a result that breaks their promises: regions
// outside the picture or not covering it, a light count above the one asked for, more lights
// than pixels accepted, directions that are not unit vectors, infinite irradiances.

#include "NonFinitePixels.h"
#include "RadianceBuffer.h"

#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/MedianCut.h>
#include <morvekSampling/PhysicalExtraction.h>
#include <morvekSampling/PixelDecoder.h>
#include <morvekSampling/SummedAreaTable.h>
#include <morvekSampling/SummedAreaTableBuilder.h>
#include <morvekShapeNodePool/ImageFile.h>

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGImage.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int maxSide = 256;

void fault(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "sampling fault: %s %s\n", what, detail.c_str());
    std::abort();
}

bool inside(int x, int y, int width, int height, int pictureWidth, int pictureHeight)
{
    return x >= 0 && y >= 0 && width >= 1 && height >= 1 && x + width <= pictureWidth &&
           y + height <= pictureHeight;
}

void checkPhysical(const Morvek::RadianceImage& picture, int lights)
{
    const Morvek::PhysicalExtraction::Result result =
        Morvek::PhysicalExtraction::extract(picture, {lights});
    // More lights than pixels is refused; so are radiances whose sums overflow.
    if (result.ok() && lights > picture.width * picture.height)
        fault("more lights than pixels accepted");
    if (!result.ok()) {
        if (result.error.find('\n') != std::string::npos)
            fault("the error is not one line", result.error);
        return;
    }
    if (result.lights.size() > std::size_t(lights))
        fault("more lights than asked for");
    std::uint64_t area = 0;
    for (const Morvek::PhysicalLight& light : result.lights) {
        const Morvek::PixelRect& r = light.region;
        if (!inside(r.x, r.y, r.width, r.height, picture.width, picture.height))
            fault("light region outside the picture");
        area += std::uint64_t(r.width) * std::uint64_t(r.height);
        const auto& d = light.direction;
        const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (!(std::fabs(length - 1.0) < 1e-6))
            fault("direction not a unit vector", std::to_string(length));
        for (const double e : light.irradiance)
            if (!std::isfinite(e) || e < 0.0)
                fault("irradiance", std::to_string(e));
    }
    if (lights > 0 && area != std::uint64_t(picture.width) * std::uint64_t(picture.height))
        fault("light regions do not cover the picture");
}

unsigned short cutDepth(int lights)
{
    unsigned short depth = 0;
    while (depth < 16 && (1 << depth) < lights)
        ++depth;
    return depth;
}

void checkMedianCut(const osg::ImagePtr& image, int lights)
{
    Morvek::EnvironmentImage view;
    view.data = image->getData();
    view.size = std::size_t(image->getSize());
    view.width = image->getWidth();
    view.height = image->getHeight();
    view.pixelFormat = image->getPixelFormat();
    view.dataType = image->getDataType();
    const Morvek::PixelDecoder::Layout layout = Morvek::PixelDecoder::describe(view);
    if (layout.verdict != Morvek::PixelDecoder::Verdict::Readable)
        fault("the loader's image is not readable by the tables");
    Morvek::SummedAreaTable energy;
    Morvek::SummedAreaTable color;
    if (!Morvek::SummedAreaTableBuilder::prepare(view, energy, color) || !energy || !color)
        fault("no tables");
    Morvek::SummedAreaTableBuilder::build(view, layout, energy.data(), color.data());

    const auto width = std::uint16_t(view.width);
    const auto height = std::uint16_t(view.height);
    const Morvek::MedianCut cut(energy.data(), width, height);
    Morvek::ImageRegion root;
    root.energy = cut.sampleEnergy(width - 1, height - 1);
    root.width = width;
    root.height = height;
    std::vector<Morvek::ImageRegion> leaves;
    cut.splitRegion(root, cutDepth(lights), leaves);
    Morvek::MedianCut::rankByDensity(leaves);

    std::uint64_t area = 0;
    for (const Morvek::ImageRegion& leaf : leaves) {
        if (!inside(leaf.origin.x(), leaf.origin.y(), leaf.width, leaf.height, width, height))
            fault("leaf outside the picture");
        area += std::uint64_t(leaf.width) * leaf.height;
        const osg::Vec2us centroid = cut.computeEnergyCentroid(leaf);
        if (centroid.x() < leaf.origin.x() || centroid.x() >= leaf.origin.x() + leaf.width ||
            centroid.y() < leaf.origin.y() || centroid.y() >= leaf.origin.y() + leaf.height)
            fault("centroid outside its leaf");
        const osg::Vec3f d =
            Morvek::MedianCut::directionFromImageCoord(centroid.x(), centroid.y(), width, height);
        if (!(std::fabs(d.length() - 1.0f) < 1e-4f))
            fault("direction not a unit vector");
    }
    if (area != std::uint64_t(width) * height)
        fault("leaves do not cover the picture");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool started = osg::osgInit(0, nullptr);
    if (!started)
        fault("OpenSG did not start");
    if (size < 2)
        return 0;
    const int lights = data[0];
    std::string error;
    Morvek::ImageFileInfo info;
    osg::ImagePtr image = Morvek::loadImageData(data + 1, size - 1, "input", error, info);
    if (image == osg::NullFC)
        return 0;
    osg::addRefCP(image);
    const int width = image->getWidth();
    const int height = image->getHeight();
    // The tool refuses pictures below 2 x 2; large ones only make the run slow.
    if (width >= 2 && height >= 2 && width <= maxSide && height <= maxSide) {
        envlights::NonFinitePixels::replaceWithZero(image);
        envlights::RadianceBuffer radiance;
        if (!radiance.set(image, error))
            fault("the loader's image cannot be viewed as radiance", error);
        checkPhysical(radiance.image(), lights);
        checkMedianCut(image, lights);
    }
    osg::subRefCP(image);
    return 0;
}
