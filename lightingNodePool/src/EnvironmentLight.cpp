#include <morvekLightingNodePool/EnvironmentLight.h>

#include <morvekBase/HostLog.h>
#include <morvekLightingNodePool/EnvironmentLightProc.h>

#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

namespace {

const char* const sourceFile = "lightingNodePool/EnvironmentLight";

const char* const typeDescription =
    "The EnvironmentLight creates DirectionalLights based on a given Environment "
    "texture (which must be a SingleTexture in lat-long format), e.g. the same "
    "texture as used in the SkydomeBackground.";

} // namespace

// Rows in field order. Each row is copied from a temporary that dies at once; the copy
// constructor's collector is not used.
NodePartDesc EnvironmentLight::_desc[4] = {
    NodePartDesc(NodePartDesc(envTextureIndex, envTextureMask, PartExposedField, DataSFNode,
                              PartFlagPersistent, "envTexture", nullptr, nullptr, "Texture",
                              "The environment texture that is used for extracting light sources.",
                              0),
                 nullptr),
    NodePartDesc(NodePartDesc(numLightsIndex, numLightsMask, PartExposedField, DataSFInt32,
                              PartFlagPersistent | PartFlagExtension, "numLights", nullptr, "2",
                              nullptr, "The (maximum) number of lights that are generated.", 0),
                 nullptr),
    NodePartDesc(
        NodePartDesc(globalIndex, globalMask, PartExposedField, DataSFBool, PartFlagPersistent,
                     "global", nullptr, "TRUE", nullptr,
                     "Indicates if the light is global (influences all elements in the scene) or "
                     "local (only the children of the parent node).",
                     0),
        nullptr),
    NodePartDesc(NodePartDesc(_lightsIndex, _lightsMask, PartField, DataMFNode,
                              PartFlagPersistent | PartFlagGenerated | PartFlagExtension, "_lights",
                              nullptr, nullptr, nullptr, "The generated light nodes.", 0),
                 nullptr),
};

NodeType EnvironmentLight::_type(theSceneNodeTypeFactory(), "EnvironmentLight", "LightingNodePool",
                                 "Light", nullptr, nullptr, "Lighting", nullptr, "beta",
                                 typeDescription, "Morvek", false, false, &EnvironmentLight::isType,
                                 &EnvironmentLight::createNode, &EnvironmentLight::createProc,
                                 EnvironmentLight::_desc, 4);

NodeType& EnvironmentLight::classType() { return _type; }

bool EnvironmentLight::init()
{
    const bool found = NodeTypeNameSpace::findType(_type.getNameSpace(), _type.getName(),
                                                   SearchCaseSensitive) != nullptr;
    MORVEK_HOST_LOG(osg::LOG_INFO, sourceFile, "Init %s: %s\n", _type.getName(),
                    found ? "OK" : "FAILED");
    return found;
}

EnvironmentLight* EnvironmentLight::create(BaseObject* context, const char* name,
                                           NodeCreator creator)
{
    return dynamic_cast<EnvironmentLight*>(_type.createNode(context, name, creator));
}

Node* EnvironmentLight::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new EnvironmentLight(type, nameSpace, name);
}

EnvironmentLightProc* EnvironmentLight::getEnvironmentLightProc()
{
    return static_cast<EnvironmentLightProc*>(getLightProc());
}

NodeProc* EnvironmentLight::createProc(NodeType& type, Node& node)
{
    return new EnvironmentLightProc(type, node);
}

bool EnvironmentLight::isType(Node* node)
{
    return dynamic_cast<EnvironmentLight*>(node) != nullptr;
}

EnvironmentLight::EnvironmentLight(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : Light(type, nameSpace, name), envTextureField(*this, nullptr), numLightsField(*this),
      globalField(*this, false), _lightsField(*this, nullptr)
{
    // Always this class's own record (see Light's constructor).
    regField(envTextureField, _type, envTextureIndex, true);
    regField(numLightsField, _type, numLightsIndex, true);
    regField(globalField, _type, globalIndex, true);
    regField(_lightsField, _type, _lightsIndex, true);
}

EnvironmentLight::EnvironmentLight(NodeNameSpace& nameSpace, const char* name)
    : EnvironmentLight(_type, nameSpace, name)
{
}

EnvironmentLight::~EnvironmentLight()
{
    unregField(envTextureIndex);
    unregField(numLightsIndex);
    unregField(globalIndex);
    unregField(_lightsIndex);
}

void EnvironmentLight::fieldChanged(Field& field, const double& time, Field* source)
{
    forwardFieldChange(field, time, source, sourceFile, __LINE__, __PRETTY_FUNCTION__);
}

} // namespace Morvek
