#include <morvekLightingNodePool/DirectionalLight.h>

#include <morvekBase/HostLog.h>
#include <morvekLightingNodePool/DirectionalLightProc.h>

#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

namespace {

const char* const sourceFile = "lightingNodePool/DirectionalLight";

const char* const typeDescription =
    "DirectionalLight creates parallel light rays to illuminate geometric shapes. "
    "Light is scoped and only illuminates geometry within its enclosing parent "
    "group! No source location is needed since rays are parallel from an infinitely "
    "distant source. DirectionalLight nodes do not attenuate with distance. Lights "
    "have no visible shape themselves and shine through occluding geometry. Hint: "
    "animate direction to simulate time-of-day sunlight effects. Hint: HeadLight is "
    "controlled by NavigationInfo. Interchange profile hint: light might not be "
    "scoped by parent Group or Transform.";

} // namespace

// Rows in field order. Each row is copied from a temporary that dies at once; the copy
// constructor's collector is not used.
NodePartDesc DirectionalLight::_desc[2] = {
    NodePartDesc(
        NodePartDesc(directionIndex, directionMask, PartExposedField, DataSFVec3f,
                     PartFlagPersistent, "direction", nullptr, "0 0 -1", nullptr,
                     "Orientation of light relative to local coordinate system. Hint. animate "
                     "direction to simulate time-of-day sunlight effects.",
                     0),
        nullptr),
    NodePartDesc(
        NodePartDesc(globalIndex, globalMask, PartExposedField, DataSFBool, PartFlagPersistent,
                     "global", nullptr, "FALSE", nullptr,
                     "indicates if the light is global (influences all elements in the scene) or "
                     "local (only the childs of the parent node)",
                     0),
        nullptr),
};

NodeType DirectionalLight::_type(theSceneNodeTypeFactory(), "DirectionalLight", "LightingNodePool",
                                 "Light", nullptr, nullptr, "Lighting", nullptr, "stable",
                                 typeDescription, "X3D2.0", false, false, &DirectionalLight::isType,
                                 &DirectionalLight::createNode, &DirectionalLight::createProc,
                                 DirectionalLight::_desc, 2);

NodeType& DirectionalLight::classType() { return _type; }

bool DirectionalLight::init()
{
    const bool found = NodeTypeNameSpace::findType(_type.getNameSpace(), _type.getName(),
                                                   SearchCaseSensitive) != nullptr;
    MORVEK_HOST_LOG(osg::LOG_INFO, sourceFile, "Init %s: %s\n", _type.getName(),
                    found ? "OK" : "FAILED");
    return found;
}

DirectionalLight* DirectionalLight::create(BaseObject* context, const char* name,
                                           NodeCreator creator)
{
    return dynamic_cast<DirectionalLight*>(_type.createNode(context, name, creator));
}

Node* DirectionalLight::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new DirectionalLight(type, nameSpace, name);
}

NodeProc* DirectionalLight::createProc(NodeType& type, Node& node)
{
    return new DirectionalLightProc(type, node);
}

bool DirectionalLight::isType(Node* node)
{
    return dynamic_cast<DirectionalLight*>(node) != nullptr;
}

DirectionalLightProc* DirectionalLight::getDirectionalLightProc()
{
    return static_cast<DirectionalLightProc*>(getLightProc());
}

DirectionalLight::DirectionalLight(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : Light(type, nameSpace, name), directionField(*this, osg::Vec3f(0.0f, 0.0f, 0.0f)),
      globalField(*this, false)
{
    // Always this class's own record (see Light's constructor).
    regField(directionField, _type, directionIndex, true);
    regField(globalField, _type, globalIndex, true);
}

DirectionalLight::DirectionalLight(NodeNameSpace& nameSpace, const char* name)
    : DirectionalLight(_type, nameSpace, name)
{
}

DirectionalLight::~DirectionalLight()
{
    unregField(directionIndex);
    unregField(globalIndex);
}

void DirectionalLight::fieldChanged(Field& field, const double& time, Field* source)
{
    forwardFieldChange(field, time, source, sourceFile, __LINE__, __PRETTY_FUNCTION__);
}

} // namespace Morvek
