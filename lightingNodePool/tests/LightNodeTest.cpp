// The node classes seen from code that links the pool: type tests, creation, field binding.

#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/DirectionalLightProc.h>
#include <morvekLightingNodePool/EnvironmentLight.h>
#include <morvekLightingNodePool/EnvironmentLightProc.h>
#include <morvekLightingNodePool/Light.h>
#include <morvekLightingNodePool/PointLight.h>
#include <morvekLightingNodePool/SpotLight.h>

#include <morvekBase/NodeNameSpace.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Group.h>

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

// The mask constants are checked against the descriptor tables where the pool is loaded; here
// only that they are constant-initialised, so the descriptor tables built at load can read them.
static_assert(SpotLight::directionMask.value() == 0x2000, "usable in constant expressions");

// ---------------------------------------------------------------------------------------------
// Creation and type tests: null, foreign and derived nodes.

TEST(LightTypes, CreateMakesNodesOfTheClassThatTheTypeTestsOfItsClassesAccept)
{
    Runtime::instance();
    RefPtr<DirectionalLight> directional(DirectionalLight::create(nullptr, "sun", CreatorProgram));
    ASSERT_TRUE(directional);
    EXPECT_EQ(directional->_name, "sun");
    EXPECT_EQ(directional->Node::_type, &DirectionalLight::classType());
    EXPECT_EQ(directional->_creator, CreatorProgram);
    EXPECT_NE(directional->getDirectionalLightProc(), nullptr);
    EXPECT_EQ(static_cast<LightProc*>(directional->getDirectionalLightProc()),
              directional->getLightProc());
    // The creation context passes through: a name space given as context holds the name.
    NodeNameSpace names;
    RefPtr<PointLight> point(PointLight::create(&names, "lamp", CreatorParser));
    ASSERT_TRUE(point);
    EXPECT_EQ(point->_context, &names);
    EXPECT_EQ(names.find("lamp"), point.get());
    RefPtr<EnvironmentLight> environment(
        EnvironmentLight::create(nullptr, nullptr, CreatorProgram));
    ASSERT_TRUE(environment);
    EXPECT_NE(environment->getEnvironmentLightProc(), nullptr);
    EXPECT_EQ(static_cast<LightProc*>(environment->getEnvironmentLightProc()),
              environment->getLightProc());
    RefPtr<Node> spot(SpotLight::create(nullptr, nullptr, CreatorProgram));
    RefPtr<Node> group(Group::create("foreign"));
    ASSERT_TRUE(spot && group);
    EXPECT_EQ(Light::create(nullptr, "abstract", CreatorProgram), nullptr);

    const struct {
        const char* node;
        Node* object;
        bool light, directionalLight, pointLight, spotLight, environmentLight;
    } rows[] = {
        {"null", nullptr, false, false, false, false, false},
        {"Group", group.get(), false, false, false, false, false},
        {"DirectionalLight", directional.get(), true, true, false, false, false},
        {"PointLight", point.get(), true, false, true, false, false},
        {"SpotLight", spot.get(), true, false, false, true, false},
        {"EnvironmentLight", environment.get(), true, false, false, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.node);
        EXPECT_EQ(Light::classType().getIsType()(row.object), row.light);
        EXPECT_EQ(DirectionalLight::classType().getIsType()(row.object), row.directionalLight);
        EXPECT_EQ(PointLight::classType().getIsType()(row.object), row.pointLight);
        EXPECT_EQ(SpotLight::classType().getIsType()(row.object), row.spotLight);
        EXPECT_EQ(EnvironmentLight::classType().getIsType()(row.object), row.environmentLight);
    }
}

// ---------------------------------------------------------------------------------------------
// Constructors: the short form uses the class's own record, and fields always bind to the rows
// of the class that declares them, whatever record the node was built with.

class SpotWithOwnRecord : public SpotLight {
public:
    SpotWithOwnRecord(NodeNameSpace& names) : SpotLight(names, nullptr) {}
};

class SpotWithForeignRecord : public SpotLight {
public:
    SpotWithForeignRecord(NodeNameSpace& names)
        : SpotLight(DirectionalLight::classType(), names, nullptr)
    {
    }
};

TEST(LightTypes, FieldsBindToTheDeclaringClassesRowsWhateverTheRecord)
{
    Runtime::instance();
    NodeNameSpace names;
    RefPtr<SpotWithOwnRecord> own(new SpotWithOwnRecord(names));
    RefPtr<SpotWithForeignRecord> foreign(new SpotWithForeignRecord(names));
    EXPECT_EQ(own->Node::_type, &SpotLight::classType());
    EXPECT_EQ(foreign->Node::_type, &DirectionalLight::classType());

    for (SpotLight* spot :
         {static_cast<SpotLight*>(own.get()), static_cast<SpotLight*>(foreign.get())}) {
        SCOPED_TRACE(spot->getTypeName());
        EXPECT_EQ(spot->cutOffAngle().getDesc(), SpotLight::classType().findDesc(12));
        EXPECT_EQ(spot->global().getDesc(), SpotLight::classType().findDesc(16));
        EXPECT_EQ(spot->color().getDesc(), Light::classType().findDesc(4));
        EXPECT_EQ(spot->cutOffAngle().getValue(), 0.785398f);
        EXPECT_TRUE(spot->global().getValue());
        EXPECT_EQ(spot->findField("direction", SearchDerivedFirst), &spot->direction());
    }
}

} // namespace
