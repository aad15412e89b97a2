#include <morvekLightingNodePool/LightProc.h>

#include <morvekBase/HostLog.h>
#include <morvekLightingNodePool/Light.h>
#include <morvekLightingNodePool/NodeLogName.h>

#include <morvekBase/SFBool.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekCoreNodePool/SceneBaseNode.h>
#include <morvekCoreNodePool/SceneProc.h>

#include <OpenSG/OSGGL.h>
#include <OpenSG/OSGGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>
#include <OpenSG/OSGState.h>

#include <string>
#include <vector>

namespace Morvek {

namespace {

const char* const sourceFile = "lightingNodePool/LightProc";

} // namespace

LightProc::LightProc(NodeType& type, Node& node)
    : VisualEffectorProc(type, node), _prevGlobal(-1), _lightPtr(osg::NullFC),
      _proxyTransPtr(osg::NullFC), _globalField(nullptr), _unattachedProxy(osg::NullFC),
      _coreAtAttach(CoreAtAttach::Untouched)
{
    setCore("Transform");
}

LightProc::LightProc(LightProc& other)
    : VisualEffectorProc(other), _prevGlobal(-1), _lightPtr(osg::NullFC),
      _proxyTransPtr(osg::NullFC), _globalField(nullptr), _unattachedProxy(osg::NullFC),
      _coreAtAttach(CoreAtAttach::Untouched)
{
    setCore("Transform");
}

LightProc::~LightProc()
{
    // The proxy belongs to the OpenSG graph.
    osg::subRefCP(_lightPtr);
    _lightPtr = osg::NullFC;
    setCore(osg::NodeCorePtr(osg::NullFC));
    osg::subRefCP(_unattachedProxy);
}

void LightProc::adoptLightCore(osg::LightPtr core, CoreAtAttach atAttach)
{
    _lightPtr = core;
    if (_lightPtr != osg::NullFC)
        osg::addRefCP(_lightPtr);
    _coreAtAttach = atAttach;
}

osg::Color3f LightProc::directColour() const
{
    Light& light = *getLight();
    const osg::Color3f& c = light.color().getValue();
    const float i = light.intensity().getValue();
    return osg::Color3f(c.red() * i, c.green() * i, c.blue() * i);
}

bool LightProc::coreFieldsChanged(const FieldMask& mask, const FieldMask& coreFields) const
{
    return _lightPtr != osg::NullFC && (mask & coreFields).any();
}

void LightProc::commitLightCore()
{
    if (_lightPtr == osg::NullFC)
        return;
    Light& light = *getLight();
    const osg::Color3f& c = light.color().getValue();
    const float a = light.ambientIntensity().getValue();
    const osg::Color3f direct = directColour();
    const osg::Color4f direct4(direct.red(), direct.green(), direct.blue(), 1.0f);
    _lightPtr->setDiffuse(direct4);
    _lightPtr->setSpecular(direct4);
    _lightPtr->setAmbient(osg::Color4f(c.red() * a, c.green() * a, c.blue() * a, 1.0f));
    osg::endEditCP(_lightPtr, osg::FieldBits::AllFields);
}

void LightProc::commitLightCore(const osg::Vec3f& attenuation)
{
    if (_lightPtr == osg::NullFC)
        return;
    _lightPtr->setConstantAttenuation(attenuation[0]);
    _lightPtr->setLinearAttenuation(attenuation[1]);
    _lightPtr->setQuadraticAttenuation(attenuation[2]);
    commitLightCore();
}

void LightProc::finishNodeChanged(const double& time, const FieldMask& mask,
                                  const FieldMask& globalMask, const SFBool& global)
{
    updateOSGFieldValues(mask);
    if ((mask & globalMask).any())
        updateLightState(time, global.getValue());
    LightProc::nodeChanged(time, mask);
}

LightProc& LightProc::operator=(const LightProc& other)
{
    VisualEffectorProc::operator=(other);
    _prevGlobal = other._prevGlobal;
    _lightPtr = other._lightPtr;
    _proxyTransPtr = other._proxyTransPtr;
    _globalField = other._globalField;
    return *this;
}

Light* LightProc::getLight() const { return static_cast<Light*>(&getNode()); }

osg::NodePtr LightProc::getBeaconNode() const
{
    const osg::NodeCorePtr core = getCorePtr();
    if (core == osg::NullFC || core->getParents().size() == 0)
        return osg::NullFC;
    return core->getParents()[0];
}

LightProc::BuildRefs::~BuildRefs()
{
    for (unsigned i = 0; i < _count; ++i)
        osg::subRefCP(_first[i]);
    for (const osg::FieldContainerPtr& object : _more)
        osg::subRefCP(object);
}

void LightProc::attachProxy(osg::NodePtr proxy)
{
    if (proxy == osg::NullFC)
        return;
    const osg::NodePtr beacon = getBeaconNode();
    if (beacon == osg::NullFC) {
        osg::setRefdCP(_unattachedProxy, proxy);
        return;
    }
    beacon->addChild(proxy);
    osg::endEditCP(beacon, osg::Node::ChildrenFieldMask);
}

void LightProc::setBeaconMatrix(const osg::Matrix& matrix)
{
    const osg::TransformPtr beacon = osg::TransformPtr::dcast(getCorePtr());
    if (beacon == osg::NullFC)
        return;
    beacon->setMatrix(matrix);
    osg::endEditCP(beacon, osg::TransformBase::MatrixFieldMask);
}

osg::Quaternion LightProc::beaconRotation(const osg::Vec3f& direction)
{
    // OpenSG's own default light direction (0, 0, 1) points towards the light, so the light
    // shines along -z. From (0, 0, -1) the dot product is exactly -direction.z in any
    // precision, so OpenSG's from-to quaternion gives the rotation bit for bit.
    return osg::Quaternion(osg::Vec3f(0.0f, 0.0f, -1.0f), direction);
}

osg::PolygonChunkPtr LightProc::createProxyPolygonChunk()
{
    const osg::PolygonChunkPtr chunk = osg::PolygonChunkBase::create();
    if (chunk != osg::NullFC) {
        chunk->setCullFace(GL_BACK); // 1029
        osg::endEditCP(chunk, osg::FieldBits::AllFields);
    }
    return chunk;
}

void LightProc::addProxyMaterial(osg::NodePtr node, osg::PolygonChunkPtr chunk, float transparency)
{
    if (node == osg::NullFC)
        return;
    const osg::GeometryPtr geometry = osg::GeometryPtr::dcast(node->getCore());
    if (geometry == osg::NullFC)
        return;
    const osg::SimpleMaterialPtr material = osg::SimpleMaterialBase::create();
    if (material == osg::NullFC)
        return;
    material->setTransparency(transparency);
    material->setEmission(osg::Color3f(1.0f, 1.0f, 0.0f));
    material->addChunk(chunk, osg::State::AutoSlotReplace); // -2
    osg::endEditCP(material, osg::FieldBits::AllFields);
    geometry->setMaterial(material);
    osg::endEditCP(geometry, osg::FieldBits::AllFields);
}

void LightProc::setProxyDiffuse(osg::NodePtr node, const osg::Color3f& diffuse)
{
    if (node == osg::NullFC)
        return;
    const osg::GeometryPtr geometry = osg::GeometryPtr::dcast(node->getCore());
    if (geometry == osg::NullFC)
        return;
    const osg::SimpleMaterialPtr material = osg::SimpleMaterialPtr::dcast(geometry->getMaterial());
    if (material == osg::NullFC)
        return;
    material->setDiffuse(diffuse);
    osg::endEditCP(material, osg::FieldBits::AllFields);
}

osg::NodePtr LightProc::makeOffsetNode(BuildRefs& held, float offset, osg::NodePtr child)
{
    const osg::TransformPtr transform = held(osg::TransformBase::create());
    const osg::NodePtr node = held(osg::Node::create());
    if (transform != osg::NullFC) {
        osg::Matrix matrix; // identity
        matrix.setTranslate(0.0f, offset, 0.0f);
        transform->setMatrix(matrix);
        osg::endEditCP(transform, osg::TransformBase::MatrixFieldMask);
    }
    if (node != osg::NullFC) {
        node->setCore(transform);
        node->addChild(child);
        osg::endEditCP(node, osg::Node::CoreFieldMask | osg::Node::ChildrenFieldMask);
    }
    return node;
}

void LightProc::addProxyRoot(BuildRefs& held, std::initializer_list<osg::NodePtr> children)
{
    const osg::NodePtr proxyNode = held(osg::Node::create());
    _proxyTransPtr = held(osg::TransformBase::create());
    if (proxyNode != osg::NullFC) {
        proxyNode->setCore(_proxyTransPtr);
        for (const osg::NodePtr& child : children)
            proxyNode->addChild(child);
        osg::endEditCP(proxyNode, osg::Node::CoreFieldMask | osg::Node::ChildrenFieldMask);
    } else {
        _proxyTransPtr = osg::NullFC; // nothing carries it: it goes with the build
    }
    attachProxy(proxyNode);
}

void LightProc::initialize(const double& /*time*/)
{
    if (_lightPtr != osg::NullFC) {
        // A core that is on no node yet has no beacon to offer.
        const osg::NodePtr beacon = getBeaconNode();
        if (beacon != osg::NullFC) {
            _lightPtr->setBeacon(beacon);
            osg::endEditCP(_lightPtr, osg::LightBase::BeaconFieldMask);
        }
    }

    _globalField = getNode().findField("global", SearchDerivedFirst);
    _prevGlobal = -1;

    if (_globalField == nullptr) {
        MORVEK_HOST_LOG(osg::LOG_FATAL, sourceFile, "%s/%s: no >%s< field in initialize()\n",
                        getNode().getTypeName(), nodeLogName(getNode()).c_str(), "global");
    }
}

bool LightProc::global() const
{
    if (const SFBool* field = dynamic_cast<const SFBool*>(_globalField))
        return field->getValue();
    return true;
}

void LightProc::attach(const double& time)
{
    updateLightState(time, global());
    if (_coreAtAttach == CoreAtAttach::Colours)
        commitLightCore();
    updateOSGFieldValues(FieldMask::all());
    SceneBaseNodeProc::attach(time);
}

void LightProc::detach(const double& time)
{
    // The registration is withdrawn in the mode global() gives now. Afterwards the light
    // counts as unregistered, so a later attach registers it again.
    unregLight(time, global());
    _prevGlobal = -1;
    SceneBaseNodeProc::detach(time);
}

void LightProc::shutdown(const double& /*time*/)
{
    _globalField = nullptr;
    _prevGlobal = -1;
}

void LightProc::updateLightState(const double& time, bool global)
{
    if (isRegistered() && global == wasGlobal())
        return;
    if (isRegistered())
        unregLight(time, !global);
    regLight(time, global);
    _prevGlobal = global ? 1 : 0;
}

void LightProc::regLight(const double& /*time*/, bool global) { changeRegistration(true, global); }

void LightProc::unregLight(const double& /*time*/, bool global)
{
    changeRegistration(false, global);
}

void LightProc::changeRegistration(bool reg, bool global)
{
    Light* light = getLight();
    Scene* scene = getScene();
    SceneProc* sceneProc = scene ? scene->getSceneProc() : nullptr;

    // A light marked local is meant for multi-pass set-ups that place it themselves.
    if (light->local().getValue())
        return;
    if (_lightPtr == osg::NullFC)
        return;

    if (sceneProc != nullptr) {
        if (reg)
            sceneProc->regGlobalLight(_lightPtr, light, global);
        else
            sceneProc->unregGlobalLight(_lightPtr, light, global);
    }
    if (global)
        return;

    // A local light lights the subtree of each of its (non-prototype) parents.
    std::vector<Node*> parents;
    const unsigned count = Node::collectNonProtoParents(light, parents);
    for (unsigned i = 0; i < count && i < parents.size(); ++i) {
        SceneBaseNode* parent = dynamic_cast<SceneBaseNode*>(parents[i]);
        SceneBaseNodeProc* parentProc = parent ? parent->getSceneBaseNodeProc() : nullptr;
        if (parentProc == nullptr)
            continue;
        if (reg) {
            MORVEK_HOST_LOG(osg::LOG_NOTICE, sourceFile,
                            "%s/%s: requesting multi core for light.\n", parent->getTypeName(),
                            nodeLogName(*parent).c_str());
            parentProc->requestMultiCore(_lightPtr);
        } else {
            MORVEK_HOST_LOG(osg::LOG_NOTICE, sourceFile, "%s/%s: releasing multi core for light.\n",
                            parent->getTypeName(), nodeLogName(*parent).c_str());
            parentProc->releaseMultiCore(_lightPtr);
        }
    }
}

void LightProc::nodeChanged(const double& time, const BitVector<unsigned long long>& mask)
{
    Light* light = getLight();
    if (_lightPtr != osg::NullFC) {
        // Lights read these every frame, so they are stored without an edit commit.
        if ((mask & VisualEffector::onMask).any())
            _lightPtr->setOn(light->on().getValue());
        if ((mask & Light::shadowIntensityMask).any())
            _lightPtr->setShadowIntensity(light->shadowIntensity().getValue());

        if (_proxyTransPtr != osg::NullFC) {
            if ((mask & Light::showProxyGeometryMask).any()) {
                // Hidden, not removed: the proxy stays in the graph.
                const bool show = light->showProxyGeometry().getValue();
                const osg::MFNodePtr& users = _proxyTransPtr->getParents();
                for (osg::UInt32 i = 0; i < users.size(); ++i) {
                    const osg::NodePtr user = users[i];
                    user->setActive(show);
                    osg::endEditCP(user, osg::FieldBits::AllFields);
                }
            }
            if ((mask & Light::proxyGeometrySizeMask).any()) {
                // Only the diagonal: the proxy transform scales and does nothing else.
                const osg::Vec3f& size = light->proxyGeometrySize().getValue();
                osg::Matrix matrix = _proxyTransPtr->getMatrix();
                matrix[0][0] = size[0];
                matrix[1][1] = size[1];
                matrix[2][2] = size[2];
                _proxyTransPtr->setMatrix(matrix);
                osg::endEditCP(_proxyTransPtr, osg::TransformBase::MatrixFieldMask);
            }
        } else {
            MORVEK_HOST_LOG(osg::LOG_FATAL, sourceFile,
                            "%s/%s _proxyTransPtr isNull in nodeChanged()\n",
                            getNode().getTypeName(), nodeLogName(getNode()).c_str());
        }
    }
    SceneBaseNodeProc::nodeChanged(time, mask);
}

void LightProc::fieldChanged(Light& light, Field& field, const double& time, Field* source)
{
    UnboundedNodeProc::fieldChanged(light, field, time, source);
}

} // namespace Morvek
