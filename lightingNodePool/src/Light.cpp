#include <morvekLightingNodePool/Light.h>

#include <morvekBase/HostLog.h>
#include <morvekLightingNodePool/LightProc.h>
#include <morvekLightingNodePool/NodeLogName.h>

#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

namespace {

const char* const sourceFile = "lightingNodePool/Light";

const char* const typeDescription = "Base class for light nodes.";

} // namespace

// Rows in field order. Each row is copied from a temporary that dies at once; the copy
// constructor's collector is not used.
NodePartDesc Light::_desc[7] = {
    NodePartDesc(NodePartDesc(ambientIntensityIndex, ambientIntensityMask, PartExposedField,
                              DataSFFloat, PartFlagPersistent, "ambientIntensity", nullptr, "0",
                              "[0,1]",
                              "Brightness of ambient (nondirectional background) emission from "
                              "the light.",
                              0),
                 nullptr),
    NodePartDesc(NodePartDesc(colorIndex, colorMask, PartExposedField, DataSFColor,
                              PartFlagPersistent, "color", nullptr, "1 1 1", nullptr,
                              "color of light, applied to colors of objects.", 0),
                 nullptr),
    NodePartDesc(NodePartDesc(intensityIndex, intensityMask, PartExposedField, DataSFFloat,
                              PartFlagPersistent, "intensity", nullptr, "1", "[0,1]",
                              "Brightness of direct emission from the light.", 0),
                 nullptr),
    NodePartDesc(NodePartDesc(showProxyGeometryIndex, showProxyGeometryMask, PartExposedField,
                              DataSFBool, PartFlagPersistent | PartFlagExtension,
                              "showProxyGeometry", nullptr, "FALSE", nullptr,
                              "toggle geometry at light position (use for visual debugging)", 0),
                 nullptr),
    NodePartDesc(NodePartDesc(proxyGeometrySizeIndex, proxyGeometrySizeMask, PartExposedField,
                              DataSFVec3f, PartFlagPersistent | PartFlagExtension,
                              "proxyGeometrySize", nullptr, "1 1 1", nullptr,
                              "scales proxy geometry", 0),
                 nullptr),
    NodePartDesc(NodePartDesc(shadowIntensityIndex, shadowIntensityMask, PartExposedField,
                              DataSFFloat, PartFlagPersistent | PartFlagExtension,
                              "shadowIntensity", nullptr, "0", "[0,1]",
                              "intensity of the shadow; 0 is no shadow at all", 0),
                 nullptr),
    NodePartDesc(NodePartDesc(localIndex, localMask, PartExposedField, DataSFBool,
                              PartFlagPersistent | PartFlagExpert, "local", nullptr, "FALSE",
                              nullptr, "indicates if the light is local (for multi-pass usage)", 0),
                 nullptr),
};

// Abstract: a type test, but no node or processor factory.
NodeType Light::_type(theSceneNodeTypeFactory(), "Light", "LightingNodePool", "VisualEffector",
                      nullptr, nullptr, "Lighting", nullptr, "stable", typeDescription, "Morvek",
                      false, false, &Light::isType, nullptr, nullptr, Light::_desc, 7);

NodeType& Light::classType() { return _type; }

bool Light::init()
{
    const bool found = NodeTypeNameSpace::findType(_type.getNameSpace(), _type.getName(),
                                                   SearchCaseSensitive) != nullptr;
    MORVEK_HOST_LOG(osg::LOG_INFO, sourceFile, "Init %s: %s\n", _type.getName(),
                    found ? "OK" : "FAILED");
    return found;
}

Light* Light::create(BaseObject* context, const char* name, NodeCreator creator)
{
    return dynamic_cast<Light*>(_type.createNode(context, name, creator));
}

bool Light::isType(Node* node) { return dynamic_cast<Light*>(node) != nullptr; }

LightProc* Light::getLightProc() { return static_cast<LightProc*>(_proc); }

Light::Light(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : VisualEffector(type, nameSpace, name), ambientIntensityField(*this, 0.0f),
      colorField(*this, osg::Color3f(0.0f, 0.0f, 0.0f)), intensityField(*this, 0.0f),
      showProxyGeometryField(*this, false),
      proxyGeometrySizeField(*this, osg::Vec3f(0.0f, 0.0f, 0.0f)),
      shadowIntensityField(*this, 0.0f), localField(*this, false)
{
    // Always this class's own record: the rows belong to the class that declares the fields,
    // whatever record the node was built with.
    regField(ambientIntensityField, _type, ambientIntensityIndex, true);
    regField(colorField, _type, colorIndex, true);
    regField(intensityField, _type, intensityIndex, true);
    regField(showProxyGeometryField, _type, showProxyGeometryIndex, true);
    regField(proxyGeometrySizeField, _type, proxyGeometrySizeIndex, true);
    regField(shadowIntensityField, _type, shadowIntensityIndex, true);
    regField(localField, _type, localIndex, true);
}

Light::~Light()
{
    unregField(ambientIntensityIndex);
    unregField(colorIndex);
    unregField(intensityIndex);
    unregField(showProxyGeometryIndex);
    unregField(proxyGeometrySizeIndex);
    unregField(shadowIntensityIndex);
    unregField(localIndex);
}

void Light::fieldChanged(Field& field, const double& time, Field* source)
{
    forwardFieldChange(field, time, source, sourceFile, __LINE__, __PRETTY_FUNCTION__);
}

void Light::forwardFieldChange(Field& field, const double& time, Field* source,
                               const char* callerFile, unsigned line, const char* function)
{
    const FieldMask mask = field.getDesc() ? field.getDesc()->getMask() : NodePart::_nullMask;

    // The same field coming back while its change is still being handed on: a change loop.
    if ((_changingMask & mask).any()) {
        HostLog::write(osg::LOG_INFO, callerFile, line, function,
                       "Field %s/%s.%s is already changing; break loop\n", getTypeName(),
                       nodeLogName(*this).c_str(), field.getName());
        return;
    }

    // The bits are cleared again however the forward ends, so that an exception from the host
    // cannot leave the field blocked for good.
    struct ClearOnExit {
        FieldMask& changing;
        FieldMask bits;
        ~ClearOnExit() { changing &= ~bits; }
    } clearOnExit{_changingMask, mask};
    _changingMask |= mask;

    // A node whose record has no processor factory has nobody to tell.
    if (LightProc* proc = getLightProc())
        proc->fieldChanged(*this, field, time, source);
}

} // namespace Morvek
