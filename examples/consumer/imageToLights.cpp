// From an image to lights with the installed morvekLighting package, two ways:
//
//  1. through the host: the lighting node pool is loaded by name, an EnvironmentLight node gets
//     a Texture node holding the image, and after an update its `_lights` field holds the
//     generated DirectionalLight nodes, densest region first;
//  2. with morvekSampling alone: summed-area tables, a median cut and the leaves ranked by
//     density, no scene at all.
//
// The image is a small lat-long sky with a one-pixel sun placed so that its light shines along
// a chosen direction. Both ways must find that direction again; the program prints what each
// found and exits with status 1 when either misses it (or when the pool cannot be loaded).

#include <morvekBase/NodePoolLoader.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/EnvironmentLight.h>
#include <morvekSampling/MedianCut.h>
#include <morvekSampling/PixelDecoder.h>
#include <morvekSampling/SummedAreaTableBuilder.h>
#include <morvekShapeNodePool/Texture.h>

#include <OpenSG/OSGImage.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace Morvek;

constexpr double pi = 3.14159265358979323846;
constexpr int width = 256; // pixels; 1.4 degrees per pixel along both axes
constexpr int height = 128;
constexpr int numLights = 4;
// Largest angle, in degrees, between the chosen direction and the densest light's. That light's
// direction is the one of its region's energy centroid, a pixel corner; the sun holds most of
// the region's energy, so the centroid is the sun pixel's corner, whose diagonal spans at most
// 2 degrees here.
constexpr float toleranceDeg = 3.0f;

// Pixel (u, v) of the image data stands for light shining along
// MedianCut::directionFromImageCoord(u, v): phi = (1 - u / W) * 2 pi - pi / 2,
// theta = v / H * pi, direction (sin phi sin theta, cos theta, cos phi sin theta). Data row 0 is
// the bottom of the picture, the ground, whose light shines up (+y). This is the inverse: the
// pixel that holds `direction`.
void pixelShiningAlong(const osg::Vec3f& direction, int& u, int& v)
{
    const double theta = std::acos(direction[1]);
    const double phi = std::atan2(direction[0], direction[2]);
    double column = 1.0 - (phi + pi / 2.0) / (2.0 * pi);
    column -= std::floor(column);
    u = std::min(int(column * width), width - 1);
    v = std::min(int(theta / pi * height), height - 1);
}

// A dim blue sky above the horizon, a dark ground below it and a warm sun in one pixel, as
// linear RGB radiance.
osg::ImagePtr makeSky(int sunU, int sunV)
{
    const float sun[3] = {2000.0f, 1700.0f, 1200.0f};
    const float sky[3] = {0.03f, 0.05f, 0.10f};
    const float ground[3] = {0.02f, 0.015f, 0.01f};
    std::vector<float> rgb;
    rgb.reserve(std::size_t(width) * height * 3);
    for (int v = 0; v < height; ++v) {
        for (int u = 0; u < width; ++u) {
            const float* color = u == sunU && v == sunV ? sun : v >= height / 2 ? sky : ground;
            rgb.insert(rgb.end(), color, color + 3);
        }
    }
    osg::ImagePtr image = osg::Image::create();
    if (image == osg::NullFC)
        return image;
    osg::beginEditCP(image);
    image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
               reinterpret_cast<const osg::UInt8*>(rgb.data()), osg::Image::OSG_FLOAT32_IMAGEDATA);
    osg::endEditCP(image);
    return image;
}

float degreesBetween(const osg::Vec3f& a, const osg::Vec3f& b)
{
    return float(a.enclosedAngle(b) * 180.0 / pi);
}

void printVector(const char* label, const osg::Vec3f& v)
{
    std::printf("%s (%8.5f, %8.5f, %8.5f)", label, v[0], v[1], v[2]);
}

// Way 1. Returns the direction of the densest light, or false with a message.
bool lightsThroughTheHost(osg::ImagePtr image, osg::Vec3f& densest)
{
    // Node pools are found by name beside the host's libraries, here the installed lib/ folder.
    // This program also links the pool for its node classes; loading it by name opens the same
    // library and runs its entry point, which checks that every light type is registered.
    NodePoolLoader loader;
    std::string error;
    if (!loader.load("LightingNodePool", error)) {
        std::fprintf(stderr, "imageToLights: %s\n", error.c_str());
        return false;
    }
    std::printf("node pool LightingNodePool: %s\n",
                loader.getLibraryPath("LightingNodePool").c_str());

    RefPtr<Scene> scene = Scene::create("scene");
    RefPtr<EnvironmentLight> light = EnvironmentLight::create(nullptr, "sky", CreatorProgram);
    RefPtr<Texture> texture = Texture::create("skyTexture");
    if (!scene || !light || !texture) {
        std::fprintf(stderr, "imageToLights: the host made no scene, light or texture\n");
        return false;
    }
    texture->setImage(image); // or texture->load("sky.exr")
    scene->children().addChild(light.get());
    light->numLights().setValue(numLights);
    light->envTexture().setNode(texture.get());
    Runtime::instance().update(Runtime::instance().getTime() + 1.0);

    MFNode& lights = light->_lights();
    std::printf("EnvironmentLight: %zu lights, densest region first\n", lights.size());
    for (unsigned i = 0; i < lights.size(); ++i) {
        auto* generated = dynamic_cast<DirectionalLight*>(lights.getNode(i));
        if (!generated) {
            std::fprintf(stderr, "imageToLights: light %u is not a DirectionalLight\n", i + 1);
            return false;
        }
        const osg::Vec3f& direction = generated->direction().getValue();
        const osg::Color3f& color = generated->color().getValue();
        std::printf("  %u", i + 1);
        printVector("  direction", direction);
        std::printf("  color (%.6f, %.6f, %.6f)\n", color.red(), color.green(), color.blue());
        if (i == 0)
            densest = direction;
    }
    const bool complete = lights.size() == std::size_t(numLights);
    if (!complete)
        std::fprintf(stderr, "imageToLights: %zu lights, not %d\n", lights.size(), numLights);
    return complete;
}

// Way 2. Returns the direction of the densest region's energy centroid, or false.
bool lightsFromTheTables(osg::ImagePtr image, osg::Vec3f& densest)
{
    const EnvironmentImage view{
        image->getData(),        std::size_t(image->getSize(false, false, false)),
        image->getWidth(),       image->getHeight(),
        image->getPixelFormat(), image->getDataType()};
    if (PixelDecoder::check(view) != PixelDecoder::Verdict::Readable) {
        std::fprintf(stderr, "imageToLights: morvekSampling cannot read the image\n");
        return false;
    }
    std::vector<float> energy(std::size_t(width) * height);
    std::vector<float> color(3 * energy.size()); // what a light's colour is summed from
    SummedAreaTableBuilder::build(view, energy.data(), color.data());

    const MedianCut cut(energy.data(), width, height);
    ImageRegion whole;
    whole.energy = energy.back(); // the table's last entry sums the whole image
    whole.origin.setValues(0, 0);
    whole.width = width;
    whole.height = height;
    std::vector<ImageRegion> leaves;
    cut.splitRegion(whole, 2, leaves); // depth 2: up to four regions
    MedianCut::rankByDensity(leaves);  // densest last

    std::printf("morvekSampling: %zu regions, densest first\n", leaves.size());
    long pixels = 0;
    for (std::size_t i = leaves.size(); i-- > 0;) {
        const ImageRegion& leaf = leaves[i];
        const osg::Vec2us centroid = cut.computeEnergyCentroid(leaf);
        const osg::Vec3f direction =
            MedianCut::directionFromImageCoord(centroid.x(), centroid.y(), width, height);
        std::printf("  %zu  columns %3d..%3d rows %3d..%3d  %5.1f%% of the energy",
                    leaves.size() - i, leaf.origin.x(), leaf.origin.x() + leaf.width - 1,
                    leaf.origin.y(), leaf.origin.y() + leaf.height - 1,
                    100.0 * leaf.energy / whole.energy);
        printVector("  direction", direction);
        std::printf("\n");
        if (i + 1 == leaves.size())
            densest = direction;
        pixels += long(leaf.width) * leaf.height;
    }
    // The leaves of a cut tile the image.
    if (leaves.empty() || pixels != long(width) * height) {
        std::fprintf(stderr, "imageToLights: the regions cover %ld pixels, not %d\n", pixels,
                     width * height);
        return false;
    }
    return true;
}

} // namespace

int main()
{
    Runtime::instance(); // the host starts OpenSG on its first use: images can be made from here on

    // The light of a sun 30 degrees above the horizon shines down (-y) at 30 degrees.
    osg::Vec3f sunLight(0.6f, -0.5f, 0.6245f);
    sunLight.normalize();
    int sunU = 0;
    int sunV = 0;
    pixelShiningAlong(sunLight, sunU, sunV);
    std::printf("image: %d x %d lat-long sky, sun in pixel (%d, %d)", width, height, sunU, sunV);
    printVector(", its light shining along", sunLight);
    std::printf("\n");

    // The texture holds a reference to the image while it lives; this one keeps the image for
    // the second way.
    osg::ImagePtr image = makeSky(sunU, sunV);
    if (image == osg::NullFC) {
        std::fprintf(stderr, "imageToLights: OpenSG made no image\n");
        return 1;
    }
    osg::addRefCP(image);
    osg::Vec3f fromHost;
    osg::Vec3f fromTables;
    bool ok = lightsThroughTheHost(image, fromHost);
    ok = lightsFromTheTables(image, fromTables) && ok;
    osg::subRefCP(image);
    if (!ok)
        return 1;

    const float hostDeg = degreesBetween(fromHost, sunLight);
    const float tablesDeg = degreesBetween(fromTables, sunLight);
    std::printf("densest light %.2f degrees from the sun's direction, densest region %.2f degrees"
                " (at most %.1f allowed)\n",
                hostDeg, tablesDeg, toleranceDeg);
    return hostDeg <= toleranceDeg && tablesDeg <= toleranceDeg ? 0 : 1;
}
