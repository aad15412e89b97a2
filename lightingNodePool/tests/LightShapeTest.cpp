// What each light type writes into OpenSG: light core values, beacon matrices, proxy
// geometry and materials, the edits it commits, and the graph after a sequence of changes.

#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/DirectionalLightProc.h>
#include <morvekLightingNodePool/PointLight.h>
#include <morvekLightingNodePool/PointLightProc.h>
#include <morvekLightingNodePool/SpotLight.h>
#include <morvekLightingNodePool/SpotLightProc.h>

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Group.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekCoreNodePool/SceneProc.h>

#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGGeometry.h>
#include <OpenSG/OSGPolygonChunk.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>
#include <OpenSG/OSGSpotLight.h>

#include <osgTestSupport/EditJournal.h>
#include <osgTestSupport/GraphDump.h>
#include <osgTestSupport/LogCapture.h>
#include <osgTestSupport/ScopedEditJournal.h>

#include "LightTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

using namespace Morvek;

namespace {

// A scene with one group; lights made here are added to the group and updated once.
class LightShapeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Runtime::instance();
        _scene.reset(Scene::create("scene"));
        _group.reset(Group::create("group"));
        ASSERT_TRUE(_scene && _group);
        _scene->children().addChild(_group.get());
        update();
    }
    void TearDown() override
    {
        _lights.clear();
        _group.reset();
        _scene.reset();
    }

    void update() { Runtime::instance().update(Runtime::instance().getTime() + 1.0); }

    template <class T> T* addLight(const char* name)
    {
        T* light = T::create(nullptr, name, CreatorProgram);
        _lights.emplace_back(light);
        _group->children().addChild(light);
        update();
        return light;
    }
    // A light of the named type, not yet in the scene.
    Light* make(const std::string& type)
    {
        Light* light = nullptr;
        if (type == "DirectionalLight")
            light = DirectionalLight::create(nullptr, "light", CreatorProgram);
        else if (type == "PointLight")
            light = PointLight::create(nullptr, "light", CreatorProgram);
        else
            light = SpotLight::create(nullptr, "light", CreatorProgram);
        _lights.emplace_back(light);
        return light;
    }
    Light* add(const char* type)
    {
        Light* light = make(type);
        _group->children().addChild(light);
        update();
        return light;
    }

    RefPtr<Scene> _scene;
    RefPtr<Group> _group;
    std::vector<RefPtr<Light>> _lights;
};

const char* const lightTypes[] = {"DirectionalLight", "PointLight", "SpotLight"};

osg::TransformPtr beaconOf(Light& light)
{
    return osg::TransformPtr::dcast(light.getLightProc()->getCorePtr());
}

// Every geometry below `node`, depth first.
void collectGeometries(osg::NodePtr node, std::vector<osg::GeometryPtr>& out)
{
    if (node == osg::NullFC)
        return;
    const osg::GeometryPtr geometry = osg::GeometryPtr::dcast(node->getCore());
    if (geometry != osg::NullFC)
        out.push_back(geometry);
    for (osg::UInt32 i = 0; i < node->getNChildren(); ++i)
        collectGeometries(node->getChild(i), out);
}

std::vector<osg::GeometryPtr> proxyGeometries(Light& light)
{
    std::vector<osg::GeometryPtr> geometries;
    const osg::TransformPtr proxy = light.getLightProc()->getProxyTransPtr();
    if (proxy != osg::NullFC && proxy->getParents().size() > 0)
        collectGeometries(proxy->getParents()[0], geometries);
    return geometries;
}

osg::SimpleMaterialPtr materialOf(osg::GeometryPtr geometry)
{
    return osg::SimpleMaterialPtr::dcast(geometry->getMaterial());
}

// Largest distance of a vertex from the y axis: the bottom radius of a cone along +y.
float coneRadius(osg::GeometryPtr cone)
{
    float radius = 0.0f;
    for (const osg::Pnt3f& p : cone->getPositions())
        radius = std::max(radius, std::sqrt(p[0] * p[0] + p[2] * p[2]));
    return radius;
}

// ---------------------------------------------------------------------------------------------
// Beacon matrices.

struct BeaconRow {
    const char* name;
    osg::Vec3f direction;
    float rows[3][3]; // expected rotation, row by row as read
};

// Each rotation turns (0, 0, -1) onto the normalised direction, worked out by hand.
const BeaconRow beaconRows[] = {
    {"-z: no turn", {0, 0, -1}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    {"-z long: normalised first", {0, 0, -5}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    {"zero: no turn", {0, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    {"+z: half turn about -y", {0, 0, 1}, {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}},
    {"+x: quarter turn about -y", {1, 0, 0}, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}},
    {"+y: quarter turn about +x", {0, 1, 0}, {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}},
    {"-x: quarter turn about +y", {-2, 0, 0}, {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}},
};

// The rotation part (to 1e-6: the float half turn leaves w at -4.4e-8), then the translation
// and the bottom row exactly.
void expectBeacon(const osg::Matrix& m, const float (&rows)[3][3], const osg::Vec3f& translation)
{
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_NEAR(m[col][row], rows[row][col], 1e-6) << "row " << row << " col " << col;
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(m[3][row], translation[row]) << "translation " << row;
    EXPECT_EQ(m[0][3], 0.0f);
    EXPECT_EQ(m[1][3], 0.0f);
    EXPECT_EQ(m[2][3], 0.0f);
    EXPECT_EQ(m[3][3], 1.0f);
}

TEST_F(LightShapeTest, BeaconsTurnMinusZOntoTheDirectionAndMoveToTheLocation)
{
    DirectionalLight* sun = addLight<DirectionalLight>("sun");
    SpotLight* spot = addLight<SpotLight>("spot");
    PointLight* bulb = addLight<PointLight>("bulb");
    const float identity[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    expectBeacon(beaconOf(*bulb)->getMatrix(), identity, osg::Vec3f(0, 0, 0));
    const osg::Vec3f location(1.5f, -2.0f, 3.25f);
    spot->location().setValue(location);
    bulb->location().setValue(location);
    for (const BeaconRow& row : beaconRows) {
        SCOPED_TRACE(row.name);
        sun->direction().setValue(row.direction);
        spot->direction().setValue(row.direction);
        update();
        expectBeacon(beaconOf(*sun)->getMatrix(), row.rows, osg::Vec3f(0, 0, 0));
        expectBeacon(beaconOf(*spot)->getMatrix(), row.rows, location);
        expectBeacon(beaconOf(*bulb)->getMatrix(), identity, location);
        // The directional light core's own direction is never written: OpenSG's default.
        EXPECT_EQ(
            osg::DirectionalLightPtr::dcast(sun->getLightProc()->getLightPtr())->getDirection(),
            osg::Vec3f(0, 0, 1));
    }
    // A change of location alone keeps the rotation of the current direction.
    spot->location().setValue(osg::Vec3f(0, 0, 0));
    update();
    expectBeacon(beaconOf(*spot)->getMatrix(), beaconRows[6].rows, osg::Vec3f(0, 0, 0));
}

// ---------------------------------------------------------------------------------------------
// Colours: diffuse and specular are colour times intensity, ambient colour times ambient
// intensity, alpha always 1; the proxy materials get colour times intensity. Attenuation, where
// the light has one, passes unchanged.

struct ColourRow {
    const char* name;
    osg::Color3f color;
    float intensity;
    float ambientIntensity;
    osg::Color4f direct;    // expected diffuse and specular
    osg::Color4f ambient;   // expected ambient
    osg::Vec3f attenuation; // point and spot lights: passed on unchanged
};

const ColourRow colourRows[] = {
    {"orange", {1, .5f, 0}, .8f, .25f, {.8f, .4f, 0, 1}, {.25f, .125f, 0, 1}, {2, -1, 0}},
    {"intensity 0", {.2f, .4f, .6f}, 0, .5f, {0, 0, 0, 1}, {.1f, .2f, .3f, 1}, {0, 0, .125f}},
    {"white defaults", {1, 1, 1}, 1, 0, {1, 1, 1, 1}, {0, 0, 0, 1}, {1, 0, 0}},
};

TEST_F(LightShapeTest, ColoursAttenuationAndProxyMaterialsOfTheirOwn)
{
    for (const char* type : lightTypes) {
        for (const ColourRow& row : colourRows) {
            SCOPED_TRACE(std::string(type) + ", " + row.name);
            Light* light = add(type);
            light->color().setValue(row.color);
            light->intensity().setValue(row.intensity);
            light->ambientIntensity().setValue(row.ambientIntensity);
            SFVec3f* attenuation =
                dynamic_cast<SFVec3f*>(light->findField("attenuation", SearchDerivedFirst));
            if (attenuation)
                attenuation->setValue(row.attenuation);
            update();
            const osg::LightPtr core = light->getLightProc()->getLightPtr();
            EXPECT_EQ(core->getDiffuse(), row.direct);
            EXPECT_EQ(core->getSpecular(), row.direct);
            EXPECT_EQ(core->getAmbient(), row.ambient);
            if (attenuation) {
                EXPECT_EQ(core->getConstantAttenuation(), row.attenuation[0]);
                EXPECT_EQ(core->getLinearAttenuation(), row.attenuation[1]);
                EXPECT_EQ(core->getQuadraticAttenuation(), row.attenuation[2]);
            }
            // Each proxy part has a material of its own; all share one back-face chunk.
            const std::vector<osg::GeometryPtr> parts = proxyGeometries(*light);
            EXPECT_EQ(parts.size(), std::string(type) == "PointLight" ? 1u : 2u);
            osg::StateChunkPtr shared = osg::NullFC;
            std::vector<osg::SimpleMaterialPtr> seen;
            for (osg::GeometryPtr part : parts) {
                const osg::SimpleMaterialPtr material = materialOf(part);
                ASSERT_NE(material, osg::NullFC);
                EXPECT_NE(osg::MaterialPtr(material), osg::getDefaultMaterial());
                EXPECT_EQ(std::count(seen.begin(), seen.end(), material), 0);
                seen.push_back(material);
                EXPECT_EQ(material->getDiffuse(),
                          osg::Color3f(row.direct[0], row.direct[1], row.direct[2]));
                EXPECT_EQ(material->getTransparency(), 0.5f);
                EXPECT_EQ(material->getEmission(), osg::Color3f(1, 1, 0));
                ASSERT_EQ(material->getChunks().size(), 1u);
                const osg::PolygonChunkPtr chunk =
                    osg::PolygonChunkPtr::dcast(material->getChunks()[0]);
                ASSERT_NE(chunk, osg::NullFC);
                EXPECT_EQ(chunk->getCullFace(), 1029u); // GL_BACK
                if (shared == osg::NullFC)
                    shared = chunk;
                EXPECT_EQ(osg::StateChunkPtr(chunk), shared);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The spot light's cut-off: clamped for OpenSG, while the proxy cone follows the field itself.

TEST_F(LightShapeTest, SpotCutOffIsClampedAndTheConeFollowsTheAngle)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float unchanged = -1.0f;
    struct Row {
        const char* name;
        float angle;
        float cutOff;     // handed to OpenSG
        float coneRadius; // 0.8 * tan(angle / 2); `unchanged`: the previous cone stays
    };
    const Row rows[] = {
        {"default 45 degrees", 0.785398f, 0.785398f, 0.3314f},
        {"above the bound", 2.0f, 1.570796f, 1.2459f},
        {"the bound itself", 1.570796f, 1.570796f, 0.8f},
        {"pi/2 just above the bound", 1.5707963f, 1.570796f, 0.8f},
        {"just below the bound", 1.5707958f, 1.5707958f, 0.8f},
        {"small", 0.1f, 0.1f, 0.04003f},
        {"zero", 0.0f, 0.0f, 0.0f},
        {"negative: no cone can be built", -0.5f, 0.0f, unchanged},
        {"not a number", nan, 0.0f, unchanged},
    };
    SpotLight* light = addLight<SpotLight>("spot");
    const osg::SpotLightPtr core = osg::SpotLightPtr::dcast(light->getLightProc()->getLightPtr());
    osgTestSupport::LogCapture builderWarnings; // OpenSG refuses the cone of a negative angle
    std::vector<osg::GeometryPtr> parts = proxyGeometries(*light);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_NEAR(coneRadius(parts[0]), 0.3314f, 1e-4) << "after the first update";
    float previous = coneRadius(parts[0]);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        light->beamWidth().setValue(0.25f); // never reaches OpenSG
        light->cutOffAngle().setValue(row.angle);
        update();
        EXPECT_EQ(core->getSpotCutOff(), row.cutOff);
        EXPECT_EQ(core->getSpotExponent(), 4.0f);
        EXPECT_EQ(core->getDirection(), osg::Vec3f(0, 0, -1));
        parts = proxyGeometries(*light);
        ASSERT_EQ(parts.size(), 2u);
        if (std::isnan(row.angle))
            continue; // a NaN cone has NaN corners
        const float radius = coneRadius(parts[0]);
        EXPECT_NEAR(radius, row.coneRadius == unchanged ? previous : row.coneRadius, 1e-4);
        // The rebuilt cone keeps the proxy material.
        EXPECT_EQ(materialOf(parts[0])->getTransparency(), 0.5f);
        previous = radius;
    }
}

// ---------------------------------------------------------------------------------------------
// The edits each field change commits (edit journal): which containers, which field masks.

// The commits since `start`, each as its container type and, unless all fields, the mask.
std::vector<std::string> journalSince(size_t start)
{
    std::vector<std::string> commits;
    const std::vector<osgTestSupport::EditRecord>& records = osgTestSupport::EditJournal::records();
    for (size_t i = start; i < records.size(); ++i) {
        const std::string type = records[i].typeName;
        const osg::BitVector mask = records[i].mask;
        std::ostringstream commit;
        commit << type;
        if (type == "Transform" && mask == osg::TransformBase::MatrixFieldMask)
            commit << ":matrix";
        else if (type == "Geometry" && mask == osg::MaterialDrawableBase::MaterialFieldMask)
            commit << ":material";
        else if (type == "Node" && mask == osg::Node::CoreFieldMask)
            commit << ":core";
        else if (mask != osg::FieldBits::AllFields)
            commit << ":0x" << std::hex << mask;
        commits.push_back(commit.str());
    }
    return commits;
}

std::string joined(const std::vector<std::string>& commits)
{
    std::string text;
    for (const std::string& commit : commits)
        text += (text.empty() ? "" : " ") + commit;
    return text;
}

TEST_F(LightShapeTest, EachFieldChangeCommitsExactlyItsEdits)
{
    osgTestSupport::ScopedEditJournal recording;
    const struct {
        const char* type;
        const char* field;
        const char* value;
        const char* commits;
    } rows[] = {
        {"DirectionalLight", "direction", "1 0 0", "Transform:matrix"},
        {"DirectionalLight", "ambientIntensity", "0.5",
         "DirectionalLight SimpleMaterial SimpleMaterial"},
        {"DirectionalLight", "shadowIntensity", "0.5", ""}, // stored without commit
        {"DirectionalLight", "on", "FALSE", ""},
        {"DirectionalLight", "proxyGeometrySize", "2 2 2", "Transform:matrix"},
        {"DirectionalLight", "showProxyGeometry", "TRUE", "Node"},
        {"PointLight", "radius", "5", ""},
        {"PointLight", "ambientIntensity", "0.5", "PointLight"},
        {"PointLight", "location", "1 2 3", "PointLight Transform:matrix"},
        {"PointLight", "intensity", "0.5", "PointLight SimpleMaterial"},
        {"PointLight", "on", "FALSE", "PointLight"},
        {"SpotLight", "radius", "5", ""},
        {"SpotLight", "beamWidth", "0.5", "SpotLight"},
        {"SpotLight", "location", "1 2 3", "SpotLight Transform:matrix"},
        {"SpotLight", "direction", "0 1 0", "SpotLight Transform:matrix"},
        {"SpotLight", "intensity", "0.5", "SpotLight SimpleMaterial SimpleMaterial"},
        // OpenSG's cone builder commits the geometry it makes.
        {"SpotLight", "cutOffAngle", "1", "SpotLight Geometry Geometry:material Node:core"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.type) + "." + row.field + " = " + row.value);
        Light* light = add(row.type);
        Field* field = light->findField(row.field, SearchDerivedFirst);
        ASSERT_NE(field, nullptr);
        const size_t start = osgTestSupport::EditJournal::records().size();
        ASSERT_TRUE(field->setFromString(row.value));
        update();
        EXPECT_EQ(joined(journalSince(start)), row.commits);
    }
}

TEST_F(LightShapeTest, AttachWritesOnlyTheDirectionalCoreTheOthersWaitForTheFirstReport)
{
    osgTestSupport::ScopedEditJournal recording;
    const osg::Color4f openSGDefault(1, 1, 1, 1);
    const osg::Color4f orange(0.8f, 0.4f, 0.0f, 1.0f);
    for (const char* type : lightTypes) {
        SCOPED_TRACE(type);
        const bool coreAtAttach = std::string(type) == "DirectionalLight";
        Light* light = make(type);
        light->color().setValue(osg::Color3f(1.0f, 0.5f, 0.0f));
        light->intensity().setValue(0.8f);
        const osg::LightPtr core = light->getLightProc()->getLightPtr();
        const size_t start = osgTestSupport::EditJournal::records().size();
        osgTestSupport::LogCapture quiet;
        _group->children().addChild(light); // attaches at once; the change report waits
        const std::vector<std::string> commits = journalSince(start);
        EXPECT_EQ(std::count(commits.begin(), commits.end(), type), coreAtAttach ? 1 : 0);
        EXPECT_EQ(core->getDiffuse(), coreAtAttach ? orange : openSGDefault);
        // The proxy is pushed at attach either way, after the core where the core is written.
        const auto firstMaterial = std::find(commits.begin(), commits.end(), "SimpleMaterial");
        EXPECT_NE(firstMaterial, commits.end()) << joined(commits);
        if (coreAtAttach) {
            EXPECT_LT(std::find(commits.begin(), commits.end(), type), firstMaterial);
        }

        // The first report carries every field: from then on all cores agree with the node.
        update();
        EXPECT_EQ(core->getDiffuse(), orange);
        EXPECT_EQ(core->getSpecular(), orange);
    }
}

TEST_F(LightShapeTest, GlobalIsSwitchedAfterTheValuesOfTheSameUpdate)
{
    osgTestSupport::ScopedEditJournal recording;
    for (const char* type : lightTypes) {
        SCOPED_TRACE(type);
        Light* light = add(type);
        SFBool* global = dynamic_cast<SFBool*>(light->findField("global", SearchDerivedFirst));
        ASSERT_NE(global, nullptr);
        const size_t start = osgTestSupport::EditJournal::records().size();
        light->intensity().setValue(0.5f);
        global->setValue(!global->getValue());
        osgTestSupport::LogCapture quiet;
        update();
        // First the light core (or, for the directional light, the arrow colours with it),
        // then the nodes the registration moves.
        const std::vector<std::string> commits = journalSince(start);
        ASSERT_FALSE(commits.empty());
        EXPECT_EQ(commits[0], type);
        const auto firstNode = std::find_if(commits.begin(), commits.end(),
                                            [](const auto& c) { return c.rfind("Node", 0) == 0; });
        EXPECT_NE(firstNode, commits.end()) << "the registration moved no node";
        EXPECT_EQ(std::find(firstNode, commits.end(), "SimpleMaterial"), commits.end())
            << joined(commits);
    }
}

// ---------------------------------------------------------------------------------------------
// The OpenSG graph of one light of each type, and after a change of mode, against dumps written
// by hand (format: osgTestSupport::dumpGraph): cores, beacons and the proxy geometry.

TEST_F(LightShapeTest, OneLightOfEachTypeShinesWhereItReaches)
{
    // A local directional light on its group; the point and spot lights are global and sit on
    // the scene root, the newest outermost. Every beacon hangs in the group.
    DirectionalLight* sun = addLight<DirectionalLight>("sun");
    addLight<PointLight>("bulb");
    addLight<SpotLight>("spot");
    const std::string beacons = "          @1 Transform\n"
                                "            Transform inactive\n"
                                "              Transform matrix=[1 0 0 0; 0 0 1 0; 0 -1 0 0]\n"
                                "                Geometry vertices=66 material=m1\n"
                                "                Transform translate=(0 0.5625 0)\n"
                                "                  Geometry vertices=50 material=m2\n"
                                "          @2 Transform\n"
                                "            Transform inactive\n"
                                "              Geometry vertices=162 material=m3\n"
                                "          @3 Transform\n"
                                "            Transform inactive\n"
                                "              Geometry vertices=50 material=m4\n"
                                "              Transform translate=(0 0.3 0)\n"
                                "                Geometry vertices=162 material=m5\n";
    EXPECT_EQ(osgTestSupport::dumpGraph(_scene->getRootNodePtr()),
              "Group\n"
              "  SpotLight on diffuse=(1 1 1 1) beacon=@3 position=(0 0 0) direction=(0 0 -1) "
              "cutoff=0.7854\n"
              "    PointLight on diffuse=(1 1 1 1) beacon=@2 position=(0 0 0)\n"
              "      Group\n"
              "        DirectionalLight on diffuse=(1 1 1 1) beacon=@1 direction=(0 0 1)\n" +
                  beacons);

    // The directional light turns global: its core leaves the group for the scene root.
    LogLevelScope notices(osg::LOG_NOTICE, osg::LOG_NONE_HEADER);
    osgTestSupport::LogCapture log;
    sun->global().setValue(true);
    update();
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"Group/group: releasing multi core for light."});
    // The group's children (the beacons) stay at the same depth: one core above them each way.
    EXPECT_EQ(osgTestSupport::dumpGraph(_scene->getRootNodePtr()),
              "Group\n"
              "  DirectionalLight on diffuse=(1 1 1 1) beacon=@1 direction=(0 0 1)\n"
              "    SpotLight on diffuse=(1 1 1 1) beacon=@3 position=(0 0 0) direction=(0 0 -1) "
              "cutoff=0.7854\n"
              "      PointLight on diffuse=(1 1 1 1) beacon=@2 position=(0 0 0)\n"
              "        Group\n" +
                  beacons);
}

} // namespace
