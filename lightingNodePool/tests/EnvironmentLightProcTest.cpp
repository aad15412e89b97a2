// The environment light through the real host: tables from OpenSG images, the rebuild of the
// generated DirectionalLight nodes, and the lights they become in the OpenSG graph.

#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/DirectionalLightProc.h>
#include <morvekLightingNodePool/EnvironmentLight.h>
#include <morvekLightingNodePool/EnvironmentLightProc.h>
#include <morvekSampling/PixelDecoder.h>

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekCoreNodePool/SceneProc.h>
#include <morvekShapeNodePool/Texture.h>

#include <osgTestSupport/LogCapture.h>

#include "LightTestSupport.h"
#include <morvekSampling/testSupport/LiteralSummedAreaTable.h>
#include <morvekSampling/testSupport/TestImages.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace Morvek;

namespace {

// Opens the processor's protected operations to the tests.
class ProcProbe : public EnvironmentLightProc {
public:
    ProcProbe(NodeType& type, Node& node) : EnvironmentLightProc(type, node) {}
    using EnvironmentLightProc::_colorSAT;
    using EnvironmentLightProc::_energySAT;
    using EnvironmentLightProc::_height;
    using EnvironmentLightProc::_width;
    using EnvironmentLightProc::createSAT;
    using EnvironmentLightProc::sampleColorSAT;
    using EnvironmentLightProc::sampleEnergySAT;
};

osg::ImagePtr makeImage(std::uint32_t format, int width, int height, std::int32_t dataType,
                        const void* data, bool allocate = true)
{
    osg::ImagePtr image = osg::ImageBase::create();
    image->set(format, width, height, 1, 1, 1, 0.0, static_cast<const osg::UInt8*>(data), dataType,
               allocate);
    return image;
}

osg::ImagePtr floatRgbImage(int width, int height, const std::vector<float>& rgb)
{
    return makeImage(osg::Image::OSG_RGB_PF, width, height, osg::Image::OSG_FLOAT32_IMAGEDATA,
                     rgb.data());
}

EnvironmentImage viewOf(osg::ImagePtr image)
{
    return {image->getData(),        std::size_t(image->getSize(false, false, false)),
            image->getWidth(),       image->getHeight(),
            image->getPixelFormat(), image->getDataType()};
}

bool sameBits(float a, float b)
{
    if (std::isnan(a) && std::isnan(b))
        return true; // the payload of a NaN may come from either operand of an add
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A scene with one environment light and one texture; the log at fatal level without header.
class EnvironmentLightTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Runtime::instance();
        _scene.reset(Scene::create("scene"));
        _env.reset(EnvironmentLight::create(nullptr, "env", CreatorProgram));
        _texture.reset(Texture::create("sky"));
        ASSERT_TRUE(_scene && _env && _texture);
        _scene->children().addChild(_env.get());
        update();
    }
    void TearDown() override
    {
        _env.reset();
        _texture.reset();
        _scene.reset();
        update();
    }
    void update() { Runtime::instance().update(Runtime::instance().getTime() + 1.0); }

    EnvironmentLightProc& proc() { return *static_cast<EnvironmentLightProc*>(_env->getProc()); }
    std::vector<DirectionalLight*> lights()
    {
        std::vector<DirectionalLight*> out;
        for (unsigned i = 0; i < _env->_lights().size(); ++i)
            out.push_back(dynamic_cast<DirectionalLight*>(_env->_lights().getNode(i)));
        return out;
    }
    // The texture takes `image` over (its chunk holds the only reference).
    void useImage(osg::ImagePtr image, int numLights)
    {
        _texture->setImage(image);
        _env->numLights().setValue(numLights);
        _env->envTexture().setNode(_texture.get());
        update();
    }

    LogLevelScope _logLevel{osg::LOG_FATAL, osg::LOG_NONE_HEADER};
    RefPtr<Scene> _scene;
    RefPtr<EnvironmentLight> _env;
    RefPtr<Texture> _texture;
};

// ------------------------------------------------------------------------------------------
// Tables from OpenSG images.

TEST_F(EnvironmentLightTest, TablesFromOpenSGImagesMatchTheLiteralLoopBitForBit)
{
    const std::uint32_t rgb = osg::Image::OSG_RGB_PF;
    const std::int32_t f32 = osg::Image::OSG_FLOAT32_IMAGEDATA,
                       u8 = osg::Image::OSG_UINT8_IMAGEDATA;
    const struct {
        const char* name;
        std::uint32_t format;
        std::int32_t dataType;
        int width, height;
    } rows[] = {
        {"RGB float", rgb, f32, 37, 11},
        {"BGR byte", osg::Image::OSG_BGR_PF, u8, 7, 5},
        {"RGBA half", osg::Image::OSG_RGBA_PF, osg::Image::OSG_FLOAT16_IMAGEDATA, 13, 9},
        {"LA byte", osg::Image::OSG_LA_PF, u8, 9, 7},
        {"DXT5", osg::Image::OSG_RGBA_DXT5, u8, 10, 6},
        // Tables from 2 MiB up are allocated on huge-page boundaries, rounded up.
        {"colour table large", rgb, f32, 1000, 500},
        {"both tables large", rgb, f32, 1000, 700},
        // Same sizes again: the tables keep their storage but start where the new image's
        // pixels call for.
        {"both tables large, new image", rgb, f32, 1000, 700},
        {"RGB float", rgb, f32, 37, 11},
        {"RGB float, new image", rgb, f32, 37, 11},
    };
    // One processor for all rows: each image of another size replaces the tables before it.
    RefPtr<ProcProbe> probe(new ProcProbe(EnvironmentLight::classType(), *_env));
    unsigned seed = 7;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::mt19937 rng(seed++);
        const Morvek::testing::OwnedImage pixels =
            Morvek::testing::randomImage(row.width, row.height, row.format, row.dataType, rng);
        osg::ImagePtr image =
            makeImage(row.format, row.width, row.height, row.dataType, pixels.bytes.data());
        ASSERT_EQ(image->getSize(false, false, false), pixels.bytes.size());
        probe->createSAT(image);
        const literal::Tables want = literal::createSAT(viewOf(image));
        ASSERT_EQ(probe->_width, row.width);
        ASSERT_EQ(probe->_height, row.height);
        for (std::size_t i = 0; i < want.energy.size(); ++i)
            ASSERT_TRUE(sameBits(probe->_energySAT[i], want.energy[i])) << "energy " << i;
        for (std::size_t i = 0; i < want.color.size(); ++i)
            ASSERT_TRUE(sameBits(probe->_colorSAT[i], want.color[i])) << "colour " << i;
        // The last entry is the whole image's energy, the lookups read 0 left and above.
        EXPECT_EQ(probe->sampleEnergySAT(row.width - 1, row.height - 1), want.energy.back());
        EXPECT_EQ(probe->sampleEnergySAT(-1, 2), 0.0f);
        EXPECT_EQ(probe->sampleEnergySAT(2, -1), 0.0f);
        EXPECT_EQ(probe->sampleColorSAT(-1, -1), osg::Vec3f(0, 0, 0));
        osg::subRefCP(image);
    }
}

TEST_F(EnvironmentLightTest, ImagesTheTablesCannotTakeAreReportedAndDefined)
{
    const std::vector<float> rgb6(6 * 3, 1.0f);
    const std::vector<std::uint16_t> shorts(6 * 3, 7);
    const struct {
        const char* name;
        osg::ImagePtr image;
        unsigned fatalLines;
        const char* message; // in every line
        bool tables;         // tables of the image's size (all zeros), else none
    } rows[] = {
        {"unsigned short data: once per pixel, zeros",
         makeImage(osg::Image::OSG_RGB_PF, 3, 2, osg::Image::OSG_UINT16_IMAGEDATA, shorts.data()),
         6, "get_color: Conversion not implemented for image data type!", true},
        {"alpha-only format: one line naming it, zeros",
         makeImage(osg::Image::OSG_A_PF, 3, 2, osg::Image::OSG_FLOAT32_IMAGEDATA, rgb6.data()), 1,
         "pixel format 0x1906", true},
        {"no pixel data: one line, no tables",
         makeImage(osg::Image::OSG_RGB_PF, 3, 2, osg::Image::OSG_FLOAT32_IMAGEDATA, nullptr, false),
         1, "holds 0 bytes", false},
        {"wider than 65535: one line naming the size, no tables",
         makeImage(osg::Image::OSG_L_PF, 65536, 1, osg::Image::OSG_UINT8_IMAGEDATA, nullptr), 1,
         "65536 x 1 pixels", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RefPtr<ProcProbe> probe(new ProcProbe(EnvironmentLight::classType(), *_env));
        // Tables of an earlier image never survive.
        osg::ImagePtr earlier = floatRgbImage(2, 3, rgb6);
        probe->createSAT(earlier);
        osg::subRefCP(earlier);

        osgTestSupport::LogCapture capture;
        probe->createSAT(row.image);
        const std::vector<std::string> lines = capture.lines();
        EXPECT_EQ(lines.size(), row.fatalLines);
        for (const std::string& line : lines)
            EXPECT_NE(line.find(row.message), std::string::npos) << line;
        if (row.tables) {
            ASSERT_TRUE(probe->_energySAT && probe->_colorSAT);
            EXPECT_EQ(probe->_width, row.image->getWidth());
            EXPECT_EQ(probe->_height, row.image->getHeight());
            const std::size_t n = std::size_t(probe->_width) * probe->_height;
            EXPECT_TRUE(std::all_of(&probe->_energySAT[0], &probe->_energySAT[0] + n,
                                    [](float v) { return v == 0.0f && !std::signbit(v); }));
            EXPECT_TRUE(std::all_of(&probe->_colorSAT[0], &probe->_colorSAT[0] + 3 * n,
                                    [](float v) { return v == 0.0f && !std::signbit(v); }));
        } else {
            EXPECT_FALSE(probe->_energySAT);
            EXPECT_FALSE(probe->_colorSAT);
            EXPECT_EQ(probe->_width, 0);
            EXPECT_EQ(probe->_height, 0);
        }
        osg::subRefCP(row.image);
    }
}

// ------------------------------------------------------------------------------------------
// Generated lights.

TEST_F(EnvironmentLightTest, SmallImagesGiveTheLightsTheirCutsGive)
{
    // 4 x 2, left half four times as bright: energies about 8 (column 0), 8, 2, 2 of 20. Half
    // the energy is first reached after column 1 (16), but the cut after column 0 (8) is
    // nearer to 10, so the leaves are column 0 (density 4) and columns 1 to 3 (density 2).
    const std::vector<float> halves = {
        4, 4, 4, 4, 4, 4, 1, 1, 1, 1, 1, 1, //
        4, 4, 4, 4, 4, 4, 1, 1, 1, 1, 1, 1, //
    };
    osg::ImagePtr image = floatRgbImage(4, 2, halves);
    useImage(image, 2);
    std::vector<DirectionalLight*> generated = lights();
    ASSERT_EQ(generated.size(), 2u);
    EXPECT_EQ(proc().regions().back().origin.x(), 0);
    EXPECT_EQ(proc().regions().back().width, 1);
    // Grey regions: colour (1/2, 1/2, 1/2) for each of the two lights.
    for (DirectionalLight* light : generated)
        EXPECT_EQ(light->color().getValue(), osg::Color3f(0.5f, 0.5f, 0.5f));
    // The densest leaf's centroid is column 0, row 1: phi = (1 * 2) * pi - pi/2 = 3 pi / 2,
    // theta = (1/2) * pi, so the light points along -x.
    const osg::Vec3f d = generated[0]->direction().getValue();
    EXPECT_NEAR(d.x(), -1.0f, 1e-6f);
    EXPECT_NEAR(d.y(), 0.0f, 1e-6f);
    EXPECT_NEAR(d.z(), 0.0f, 1e-6f);

    // 2 x 2, the left column red-ish and bright, the right column black, cut once. Summed
    // colour (16, 4, 0), peak 16, two lights: (16, 4, 0) / 32, and a black light.
    image = floatRgbImage(2, 2, {8, 2, 0, 0, 0, 0, 8, 2, 0, 0, 0, 0});
    useImage(image, 2);
    generated = lights();
    ASSERT_EQ(generated.size(), 2u);
    EXPECT_EQ(generated[0]->color().getValue(), osg::Color3f(0.5f, 0.125f, 0.0f));
    EXPECT_EQ(generated[1]->color().getValue(), osg::Color3f(0.0f, 0.0f, 0.0f));

    // A uniform 2 x 2 image asked for 8 lights: four one-pixel leaves, four lights of peak 1/4.
    image = floatRgbImage(2, 2, std::vector<float>(12, 3.0f));
    useImage(image, 8);
    generated = lights();
    ASSERT_EQ(generated.size(), 4u);
    for (DirectionalLight* light : generated)
        EXPECT_EQ(light->color().getValue(), osg::Color3f(0.25f, 0.25f, 0.25f));

    // A uniform 4 x 2 image: the cut depth is the smallest d with 2^d >= numLights, so every
    // count up to the 8 pixels gets its lights; 0 or a negative count gets none.
    image = floatRgbImage(4, 2, std::vector<float>(24, 1.0f));
    for (const auto& [n, count] :
         {std::pair{1, 1u}, {3, 3u}, {5, 5u}, {7, 7u}, {9, 8u}, {0, 0u}, {-5, 0u}}) {
        useImage(image, n);
        EXPECT_EQ(lights().size(), count) << n;
    }
}

TEST_F(EnvironmentLightTest, RebuildsOnlyOnTextureNumLightsAndGlobal)
{
    osg::ImagePtr image = floatRgbImage(8, 4, std::vector<float>(8 * 4 * 3, 1.0f));
    useImage(image, 4);
    const struct {
        const char* name;
        void (*change)(EnvironmentLight&);
        bool rebuilds;
    } rows[] = {
        {"numLights", [](EnvironmentLight& e) { e.numLights().setValue(e.numLights().getValue()); },
         true},
        {"global FALSE", [](EnvironmentLight& e) { e.global().setValue(false); }, true},
        {"global TRUE", [](EnvironmentLight& e) { e.global().setValue(true); }, true},
        {"envTexture",
         [](EnvironmentLight& e) { e.envTexture().setNode(e.envTexture().getNode()); }, true},
        {"color", [](EnvironmentLight& e) { e.color().setValue(osg::Color3f(1, 0, 0)); }, false},
        {"intensity", [](EnvironmentLight& e) { e.intensity().setValue(0.5f); }, false},
        {"on", [](EnvironmentLight& e) { e.on().setValue(!e.on().getValue()); }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<DirectionalLight*> before = lights();
        ASSERT_EQ(before.size(), 4u);
        std::vector<RefPtr<DirectionalLight>> held(before.begin(), before.end());
        row.change(*_env);
        update();
        const std::vector<DirectionalLight*> after = lights();
        ASSERT_EQ(after.size(), 4u);
        EXPECT_EQ(after != before, row.rebuilds);
        // Whatever the environment light's own global, the generated lights are global.
        for (DirectionalLight* light : after)
            EXPECT_TRUE(light->global().getValue());
    }
}

TEST_F(EnvironmentLightTest, LightsTakeOnAtTheRebuildAndVanishWithTheTexture)
{
    osg::ImagePtr image = floatRgbImage(8, 4, std::vector<float>(8 * 4 * 3, 1.0f));
    _env->on().setValue(false);
    useImage(image, 3);
    ASSERT_EQ(lights().size(), 3u);
    for (DirectionalLight* light : lights()) {
        EXPECT_FALSE(light->on().getValue());
        // A working light: its own processor and core, registered with the scene as global.
        const osg::LightPtr core = light->getDirectionalLightProc()->getLightPtr();
        ASSERT_NE(core, osg::NullFC);
        EXPECT_FALSE(core->getOn());
        const SceneProc::LightEntry* entry = _scene->getSceneProc()->findLight(core);
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(entry->global);
    }

    _env->envTexture().setNode(nullptr);
    update();
    EXPECT_TRUE(lights().empty());
}

} // namespace
