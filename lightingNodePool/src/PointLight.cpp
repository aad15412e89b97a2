#include <morvekLightingNodePool/PointLight.h>

#include <morvekBase/HostLog.h>
#include <morvekLightingNodePool/PointLightProc.h>

#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

namespace {

const char* const sourceFile = "lightingNodePool/PointLight";

const char* const typeDescription =
    "PointLight is a light source that illuminates shapes in all directions Light "
    "illuminates all geometry and is not scoped by scene graph hierarchy Lights "
    "have no visible shape themselves and shine through occluding geometry. Hint: "
    "HeadLight is controlled by NavigationInfo.";

} // namespace

// Rows in field order. Each row is copied from a temporary that dies at once; the copy
// constructor's collector is not used.
NodePartDesc PointLight::_desc[4] = {
    NodePartDesc(NodePartDesc(attenuationIndex, attenuationMask, PartExposedField, DataSFVec3f,
                              PartFlagPersistent, "attenuation", nullptr, "1 0 0", nullptr,
                              "Constant, linear-distance and squared-distance dropoff factors.", 0),
                 nullptr),
    NodePartDesc(NodePartDesc(locationIndex, locationMask, PartExposedField, DataSFVec3f,
                              PartFlagPersistent, "location", nullptr, "0 0 0", nullptr,
                              "Position of light relative to local coordinate system.", 0),
                 nullptr),
    NodePartDesc(
        NodePartDesc(radiusIndex, radiusMask, PartExposedField, DataSFFloat, PartFlagPersistent,
                     "radius", nullptr, "100", nullptr,
                     "(NOT IMPLEMENTED YET) Maximum effective distance of light relative to local "
                     "light position, affected by ancestor scaling.",
                     0),
        nullptr),
    NodePartDesc(
        NodePartDesc(globalIndex, globalMask, PartExposedField, DataSFBool, PartFlagPersistent,
                     "global", nullptr, "TRUE", nullptr,
                     "indicates if the light is global (influences all elements in the scene) or "
                     "local (only the childs of the parent node)",
                     0),
        nullptr),
};

NodeType PointLight::_type(theSceneNodeTypeFactory(), "PointLight", "LightingNodePool", "Light",
                           nullptr, nullptr, "Lighting", nullptr, "stable", typeDescription,
                           "X3D2.0", false, false, &PointLight::isType, &PointLight::createNode,
                           &PointLight::createProc, PointLight::_desc, 4);

NodeType& PointLight::classType() { return _type; }

bool PointLight::init()
{
    const bool found = NodeTypeNameSpace::findType(_type.getNameSpace(), _type.getName(),
                                                   SearchCaseSensitive) != nullptr;
    MORVEK_HOST_LOG(osg::LOG_INFO, sourceFile, "Init %s: %s\n", _type.getName(),
                    found ? "OK" : "FAILED");
    return found;
}

PointLight* PointLight::create(BaseObject* context, const char* name, NodeCreator creator)
{
    return dynamic_cast<PointLight*>(_type.createNode(context, name, creator));
}

Node* PointLight::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new PointLight(type, nameSpace, name);
}

NodeProc* PointLight::createProc(NodeType& type, Node& node)
{
    return new PointLightProc(type, node);
}

bool PointLight::isType(Node* node) { return dynamic_cast<PointLight*>(node) != nullptr; }

PointLightProc* PointLight::getPointLightProc()
{
    return static_cast<PointLightProc*>(getLightProc());
}

PointLight::PointLight(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : Light(type, nameSpace, name), attenuationField(*this, osg::Vec3f(0.0f, 0.0f, 0.0f)),
      locationField(*this, osg::Vec3f(0.0f, 0.0f, 0.0f)), radiusField(*this, 0.0f),
      globalField(*this, false)
{
    // Always this class's own record (see Light's constructor).
    regField(attenuationField, _type, attenuationIndex, true);
    regField(locationField, _type, locationIndex, true);
    regField(radiusField, _type, radiusIndex, true);
    regField(globalField, _type, globalIndex, true);
}

PointLight::PointLight(NodeNameSpace& nameSpace, const char* name)
    : PointLight(_type, nameSpace, name)
{
}

PointLight::~PointLight()
{
    unregField(attenuationIndex);
    unregField(locationIndex);
    unregField(radiusIndex);
    unregField(globalIndex);
}

void PointLight::fieldChanged(Field& field, const double& time, Field* source)
{
    forwardFieldChange(field, time, source, sourceFile, __LINE__, __PRETTY_FUNCTION__);
}

} // namespace Morvek
