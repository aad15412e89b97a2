#include <morvekLightingNodePool/SpotLight.h>

#include <morvekBase/HostLog.h>
#include <morvekLightingNodePool/SpotLightProc.h>

#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

namespace {

const char* const sourceFile = "lightingNodePool/SpotLight";

const char* const typeDescription =
    "SpotLight is a light source that illuminates geometry within a conical beam "
    "Light illuminates all geometry and is not scoped by scene graph hierarchy "
    "Lights have no visible shape themselves and shine through occluding geometry. "
    "Hint: HeadLight is controlled by NavigationInfo.";

} // namespace

// Rows in field order. Each row is copied from a temporary that dies at once; the copy
// constructor's collector is not used.
NodePartDesc SpotLight::_desc[7] = {
    NodePartDesc(NodePartDesc(attenuationIndex, attenuationMask, PartExposedField, DataSFVec3f,
                              PartFlagPersistent, "attenuation", nullptr, "1 0 0", nullptr,
                              "Constant, linear-distance and squared-distance dropoff factors.", 0),
                 nullptr),
    NodePartDesc(
        NodePartDesc(
            beamWidthIndex, beamWidthMask, PartExposedField, DataSFFloat, PartFlagPersistent,
            "beamWidth", nullptr, "1.570796", nullptr,
            "(NOT IMPLEMENTED YET) Inner solid angle (in radians) where light source has "
            "uniform full intensity if beamWidth greater then; cutOffAngle, beamWidth reset "
            "to equal cutOffAngle.",
            0),
        nullptr),
    NodePartDesc(
        NodePartDesc(cutOffAngleIndex, cutOffAngleMask, PartExposedField, DataSFFloat,
                     PartFlagPersistent, "cutOffAngle", nullptr, "0.785398", nullptr,
                     "Outer solid angle (in radians) where light source intensity becomes zero if "
                     "beamWidth greater then; cutOffAngle, beamWidth reset to equal cutOffAngle.",
                     0),
        nullptr),
    NodePartDesc(NodePartDesc(directionIndex, directionMask, PartExposedField, DataSFVec3f,
                              PartFlagPersistent, "direction", nullptr, "0 0 -1", nullptr,
                              "Orientation of light relative to local coordinate system.", 0),
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

NodeType SpotLight::_type(theSceneNodeTypeFactory(), "SpotLight", "LightingNodePool", "Light",
                          nullptr, nullptr, "Lighting", nullptr, "stable", typeDescription,
                          "X3D2.0", false, false, &SpotLight::isType, &SpotLight::createNode,
                          &SpotLight::createProc, SpotLight::_desc, 7);

NodeType& SpotLight::classType() { return _type; }

bool SpotLight::init()
{
    const bool found = NodeTypeNameSpace::findType(_type.getNameSpace(), _type.getName(),
                                                   SearchCaseSensitive) != nullptr;
    MORVEK_HOST_LOG(osg::LOG_INFO, sourceFile, "Init %s: %s\n", _type.getName(),
                    found ? "OK" : "FAILED");
    return found;
}

SpotLight* SpotLight::create(BaseObject* context, const char* name, NodeCreator creator)
{
    return dynamic_cast<SpotLight*>(_type.createNode(context, name, creator));
}

Node* SpotLight::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new SpotLight(type, nameSpace, name);
}

NodeProc* SpotLight::createProc(NodeType& type, Node& node)
{
    return new SpotLightProc(type, node);
}

bool SpotLight::isType(Node* node) { return dynamic_cast<SpotLight*>(node) != nullptr; }

SpotLightProc* SpotLight::getSpotLightProc() { return static_cast<SpotLightProc*>(getLightProc()); }

SpotLight::SpotLight(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : Light(type, nameSpace, name), attenuationField(*this, osg::Vec3f(0.0f, 0.0f, 0.0f)),
      beamWidthField(*this, 0.0f), cutOffAngleField(*this, 0.0f),
      directionField(*this, osg::Vec3f(0.0f, 0.0f, 0.0f)),
      locationField(*this, osg::Vec3f(0.0f, 0.0f, 0.0f)), radiusField(*this, 0.0f),
      globalField(*this, false)
{
    // Always this class's own record (see Light's constructor).
    regField(attenuationField, _type, attenuationIndex, true);
    regField(beamWidthField, _type, beamWidthIndex, true);
    regField(cutOffAngleField, _type, cutOffAngleIndex, true);
    regField(directionField, _type, directionIndex, true);
    regField(locationField, _type, locationIndex, true);
    regField(radiusField, _type, radiusIndex, true);
    regField(globalField, _type, globalIndex, true);
}

SpotLight::SpotLight(NodeNameSpace& nameSpace, const char* name) : SpotLight(_type, nameSpace, name)
{
}

SpotLight::~SpotLight()
{
    unregField(attenuationIndex);
    unregField(beamWidthIndex);
    unregField(cutOffAngleIndex);
    unregField(directionIndex);
    unregField(locationIndex);
    unregField(radiusIndex);
    unregField(globalIndex);
}

void SpotLight::fieldChanged(Field& field, const double& time, Field* source)
{
    forwardFieldChange(field, time, source, sourceFile, __LINE__, __PRETTY_FUNCTION__);
}

} // namespace Morvek
