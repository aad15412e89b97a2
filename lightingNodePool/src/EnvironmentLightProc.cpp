#include <morvekLightingNodePool/EnvironmentLightProc.h>

#include <morvekBase/HostLog.h>
#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/EnvironmentLight.h>
#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/MedianCut.h>
#include <morvekSampling/PixelDecoder.h>
#include <morvekSampling/SummedAreaTableBuilder.h>

#include <morvekShapeNodePool/Texture.h>
#include <morvekShapeNodePool/TextureProc.h>

#include <OpenSG/OSGTextureChunk.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Morvek {

namespace {

const char* const sourceFile = "lightingNodePool/EnvironmentLightProc";

// The sampling library names the formats by their OpenGL enumerants, as osg::Image does.
static_assert(PixelDecoder::luminanceFormat == osg::Image::OSG_L_PF);
static_assert(PixelDecoder::intensityFormat == osg::Image::OSG_I_PF);
static_assert(PixelDecoder::luminanceAlphaFormat == osg::Image::OSG_LA_PF);
static_assert(PixelDecoder::rgbFormat == osg::Image::OSG_RGB_PF);
static_assert(PixelDecoder::bgrFormat == osg::Image::OSG_BGR_PF);
static_assert(PixelDecoder::rgbaFormat == osg::Image::OSG_RGBA_PF);
static_assert(PixelDecoder::floatType == osg::Image::OSG_FLOAT32_IMAGEDATA);
static_assert(PixelDecoder::halfFloatType == osg::Image::OSG_FLOAT16_IMAGEDATA);
static_assert(PixelDecoder::unsignedByteType == osg::Image::OSG_UINT8_IMAGEDATA);

// The node's status flags that call for a rebuild whatever the mask: first update and
// re-attached.
constexpr unsigned int rebuildStatus = Node::statusFirstUpdate | Node::statusReattached;

// The first mipmap level, frame and side of an image.
EnvironmentImage viewOf(const osg::ImagePtr& image)
{
    const std::uint8_t* data = image->getData(0, 0, 0);
    return {data,
            data ? std::size_t(image->getSize(false, false, false)) : 0,
            image->getWidth(),
            image->getHeight(),
            image->getPixelFormat(),
            image->getDataType()};
}

// The image of the texture named by the node's envTexture field, or NullFC.
osg::ImagePtr environmentImage(EnvironmentLight& light)
{
    NodeLink* link = light.envTexture().getLink();
    Texture* texture = dynamic_cast<Texture*>(link ? link->node() : nullptr);
    TextureProc* textureProc = texture ? texture->getTextureProc() : nullptr;
    if (!textureProc)
        return osg::NullFC;
    osg::TextureChunkPtr chunk = osg::TextureChunkPtr::dcast(textureProc->chunkPtr());
    if (chunk == osg::NullFC)
        return osg::NullFC;
    return chunk->getImage();
}

// The cut depth for n lights: the smallest d with 2^d >= n, computed in single precision as
// ceilf(logf(n) / logf(2)); 0 for n <= 1.
unsigned short cutDepth(int n)
{
    if (n <= 1)
        return 0;
    const float depth = std::ceil(std::log(float(n)) / std::log(2.0f));
    return static_cast<unsigned short>(static_cast<std::int32_t>(depth));
}

} // namespace

EnvironmentLightProc::EnvironmentLightProc(NodeType& type, Node& node)
    : LightProc(type, node), _width(0), _height(0)
{
}

EnvironmentLightProc::~EnvironmentLightProc() = default;

EnvironmentLight* EnvironmentLightProc::getEnvironmentLight() const
{
    return static_cast<EnvironmentLight*>(getLight());
}

void EnvironmentLightProc::initialize(const double& time) { LightProc::initialize(time); }

void EnvironmentLightProc::attach(const double& time) { LightProc::attach(time); }

void EnvironmentLightProc::detach(const double& time) { LightProc::detach(time); }

void EnvironmentLightProc::shutdown(const double& time) { LightProc::shutdown(time); }

void EnvironmentLightProc::updateOSGFieldValues(const BitVector<unsigned long long>&) {}

std::uint64_t EnvironmentLightProc::num_channels(unsigned int pixelFormat)
{
    return PixelDecoder::numChannels(pixelFormat);
}

osg::Vec3f EnvironmentLightProc::get_color(const osg::ImagePtr& image, int x, int y)
{
    if (image == osg::NullFC)
        return osg::Vec3f(0.0f, 0.0f, 0.0f);
    const EnvironmentImage view = viewOf(image);
    const PixelDecoder::Layout layout = PixelDecoder::describe(view);
    if (layout.blockBytes == 0 && layout.componentBytes == 0) {
        MORVEK_HOST_LOG(osg::LOG_FATAL, sourceFile,
                        "get_color: Conversion not implemented for image data type!\n");
        return osg::Vec3f(0.0f, 0.0f, 0.0f);
    }
    float rgb[3];
    PixelDecoder::colorAt(view, layout, x, y, rgb);
    return osg::Vec3f(rgb[0], rgb[1], rgb[2]);
}

void EnvironmentLightProc::releaseTables()
{
    _energySAT.release();
    _colorSAT.release();
    _width = 0;
    _height = 0;
}

void EnvironmentLightProc::createSAT(osg::ImagePtr image)
{
    if (image == osg::NullFC) {
        releaseTables();
        return;
    }
    const EnvironmentImage view = viewOf(image);
    // The image's format is looked at once; the build reads its pixels by this description.
    const PixelDecoder::Layout layout = PixelDecoder::describe(view);
    const PixelDecoder::Verdict verdict = layout.verdict;
    if (verdict == PixelDecoder::Verdict::BadSize) {
        releaseTables();
        MORVEK_HOST_LOG(osg::LOG_FATAL, sourceFile,
                        "createSAT: an image of %d x %d pixels does not fit the tables (at most "
                        "65535 per side)\n",
                        view.width, view.height);
        return;
    }
    if (verdict == PixelDecoder::Verdict::DataTooShort) {
        releaseTables();
        MORVEK_HOST_LOG(osg::LOG_FATAL, sourceFile,
                        "createSAT: the image holds %llu bytes of pixel data, its %d x %d pixels "
                        "of format 0x%04X need %llu\n",
                        static_cast<unsigned long long>(view.size), view.width, view.height,
                        view.pixelFormat, static_cast<unsigned long long>(layout.requiredBytes));
        return;
    }

    // Storage of the same size is kept: allocating and first touching it costs more than
    // filling it. Each build places the tables for its own image.
    if (!SummedAreaTableBuilder::prepare(view, _energySAT, _colorSAT)) {
        releaseTables();
        MORVEK_HOST_LOG(osg::LOG_FATAL, sourceFile,
                        "createSAT: no memory for the tables of %d x %d pixels\n", view.width,
                        view.height);
        return;
    }
    _width = std::uint16_t(view.width);
    _height = std::uint16_t(view.height);
    if (!_energySAT)
        return;

    switch (verdict) {
    case PixelDecoder::Verdict::Readable:
        SummedAreaTableBuilder::build(view, layout, _energySAT.data(), _colorSAT.data());
        return;
    case PixelDecoder::Verdict::UnknownFormat:
        MORVEK_HOST_LOG(osg::LOG_FATAL, sourceFile,
                        "createSAT: pixel format 0x%04X is not supported, the tables hold zeros\n",
                        view.pixelFormat);
        break;
    default:
        // An unsupported data type: get_color is the one that tells, once per pixel, and every
        // pixel reads as black.
        for (int y = 0; y < int(_height); ++y)
            for (int x = 0; x < int(_width); ++x)
                get_color(image, x, y);
        break;
    }
    std::fill_n(_energySAT.data(), _energySAT.size(), 0.0f);
    std::fill_n(_colorSAT.data(), _colorSAT.size(), 0.0f);
}

osg::Vec3f EnvironmentLightProc::sampleColorSAT(int x, int y)
{
    if (x < 0 || y < 0 || !_colorSAT)
        return osg::Vec3f(0.0f, 0.0f, 0.0f);
    const float* entry = &_colorSAT[3 * (std::size_t(y) * _width + std::size_t(x))];
    return osg::Vec3f(entry[0], entry[1], entry[2]);
}

float EnvironmentLightProc::sampleEnergySAT(int x, int y)
{
    if (x < 0 || y < 0 || !_energySAT)
        return 0.0f;
    return _energySAT[std::size_t(y) * _width + std::size_t(x)];
}

// Without tables there is nothing to cut: the region stays whole and its centroid is its
// first pixel.
void EnvironmentLightProc::splitRegion(ImageRegion& region, unsigned short depth)
{
    if (!_energySAT) {
        _regions.push_back(region);
        return;
    }
    MedianCut(_energySAT.data(), _width, _height).splitRegion(region, depth, _regions);
}

osg::Vec2us EnvironmentLightProc::computeEnergyCentroid(ImageRegion& region)
{
    if (!_energySAT)
        return region.origin;
    return MedianCut(_energySAT.data(), _width, _height).computeEnergyCentroid(region);
}

osg::Vec3f EnvironmentLightProc::directionFromImageCoord(unsigned short x, unsigned short y)
{
    return MedianCut::directionFromImageCoord(x, y, _width, _height);
}

void EnvironmentLightProc::nodeChanged(const double& time,
                                       const BitVector<unsigned long long>& mask)
{
    EnvironmentLight& light = *getEnvironmentLight();
    const FieldMask triggers = EnvironmentLight::envTextureMask | EnvironmentLight::numLightsMask |
                               EnvironmentLight::globalMask;
    if ((mask & triggers).any() || (light._status & rebuildStatus) != 0) {
        // Negative counts make no light, like 0.
        const int numLights = std::max(light.numLights().getValue(), 0);
        const osg::ImagePtr image = environmentImage(light);

        // Every rebuild starts from an empty set.
        MFNode& lights = light._lights();
        for (std::size_t i = lights.size(); i-- > 0;)
            lights.removeChild(unsigned(i));
        lights.clear();

        if (image != osg::NullFC && image->getWidth() >= 2 && image->getHeight() >= 2) {
            createSAT(image);
            // No tables (an image too large or too short of data): no light.
            if (_energySAT)
                generateLights(numLights);
        }
        lights.processValueChange(time, CallerHost);
    }
    updateOSGFieldValues(mask);
    LightProc::nodeChanged(time, mask);
}

void EnvironmentLightProc::prefetchLeaf(const ImageRegion& region) const
{
    if (!_energySAT || !_colorSAT)
        return;
    MedianCut(_energySAT.data(), _width, _height).prefetchSearches(region);
    const int x0 = region.origin.x();
    const int y0 = region.origin.y();
    const int x1 = x0 + region.width - 1;
    const int y1 = y0 + region.height - 1;
    for (const int y : {y0 - 1, y1})
        for (const int x : {x0 - 1, x1})
            if (x >= 0 && y >= 0)
                __builtin_prefetch(&_colorSAT[3 * (std::size_t(y) * _width + std::size_t(x))]);
}

void EnvironmentLightProc::generateLights(int numLights)
{
    EnvironmentLight& light = *getEnvironmentLight();

    ImageRegion root;
    root.energy = sampleEnergySAT(_width - 1, _height - 1);
    root.origin.setValues(0, 0);
    root.width = _width;
    root.height = _height;

    _regions.clear();
    splitRegion(root, cutDepth(numLights));
    MedianCut::rankByDensity(_regions);

    const std::size_t leaves = _regions.size();
    const std::size_t count = std::min(leaves, std::size_t(numLights));
    if (count > 0)
        prefetchLeaf(_regions[leaves - 1]);
    for (std::size_t j = 0; j < count; ++j) {
        ImageRegion& region = _regions[leaves - 1 - j];
        // The next leaf's entries arrive while this light is made.
        if (j + 1 < count)
            prefetchLeaf(_regions[leaves - 2 - j]);
        const osg::Vec2us centroid = computeEnergyCentroid(region);
        const osg::Vec3f direction = directionFromImageCoord(centroid.x(), centroid.y());

        const int x0 = region.origin.x();
        const int y0 = region.origin.y();
        const int x1 = x0 + region.width - 1;
        const int y1 = y0 + region.height - 1;
        const osg::Vec3f a = sampleColorSAT(x0 - 1, y0 - 1);
        const osg::Vec3f b = sampleColorSAT(x1, y1);
        const osg::Vec3f c = sampleColorSAT(x1, y0 - 1);
        const osg::Vec3f d = sampleColorSAT(x0 - 1, y1);
        float sum[3];
        for (int k = 0; k < 3; ++k)
            sum[k] = a[k] + ((b[k] - c[k]) - d[k]);

        // Every light gets the same peak: its largest component is 1/count. A region without
        // a positive component, or with a non-finite one, gives a black light.
        const float peak = std::max({sum[0], sum[1], sum[2]});
        osg::Color3f color(0.0f, 0.0f, 0.0f);
        if (peak > 0.0f && std::isfinite(sum[0]) && std::isfinite(sum[1]) &&
            std::isfinite(sum[2])) {
            const float divisor = float(count) * peak;
            color.setValuesRGB(sum[0] / divisor, sum[1] / divisor, sum[2] / divisor);
        }

        Node* created =
            DirectionalLight::classType().createNode(light._context, nullptr, NodeCreator(1));
        DirectionalLight* generated = dynamic_cast<DirectionalLight*>(created);
        if (!generated)
            continue;
        generated->on().setValue(light.on().getValue());
        generated->global().setValue(true);
        generated->direction().setValue(direction);
        generated->color().setValue(color);
        light._lights().addChild(generated);
    }
}

} // namespace Morvek
