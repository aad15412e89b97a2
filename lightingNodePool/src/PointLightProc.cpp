#include <morvekLightingNodePool/PointLightProc.h>

#include <morvekLightingNodePool/PointLight.h>

#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGPointLight.h>
#include <OpenSG/OSGQuaternion.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGTransform.h>

namespace Morvek {

namespace {

const osg::UInt16 sphereDepth = 2; // subdivisions of the icosahedron: 320 triangles
const float sphereRadius = 0.5f;
// Transparency of the sphere's material.
const float proxyTransparency = 0.5f;

// The fields whose change rewrites the light core (with all its values).
const FieldMask coreFields = VisualEffector::onMask | Light::colorMask |
                             Light::ambientIntensityMask | Light::intensityMask |
                             PointLight::attenuationMask | PointLight::locationMask;

} // namespace

PointLightProc::PointLightProc(NodeType& type, Node& node)
    : LightProc(type, node), _sphereNode(osg::NullFC)
{
    adoptLightCore(osg::PointLightBase::create(), CoreAtAttach::Untouched);
    addProxyGeometry(proxyTransparency);
}

PointLightProc::PointLightProc(PointLightProc& other) : LightProc(other), _sphereNode(osg::NullFC)
{
    adoptLightCore(osg::PointLightBase::create(), CoreAtAttach::Untouched);
    addProxyGeometry(proxyTransparency);
}

PointLightProc::~PointLightProc() = default;

PointLightProc& PointLightProc::operator=(const PointLightProc& other)
{
    LightProc::operator=(other);
    _sphereNode = other._sphereNode;
    return *this;
}

PointLight* PointLightProc::getPointLight() const
{
    return static_cast<PointLight*>(getLight());
}

void PointLightProc::addProxyGeometry(float transparency)
{
    BuildRefs held; // frees parts left without parent when a creation fails
    _sphereNode = held(osg::makeSphere(sphereDepth, sphereRadius));

    const osg::PolygonChunkPtr chunk = held(createProxyPolygonChunk());
    addProxyMaterial(_sphereNode, chunk, transparency);

    const osg::NodePtr proxyNode = held(osg::Node::create());
    _proxyTransPtr = held(osg::TransformBase::create());
    if (proxyNode != osg::NullFC) {
        proxyNode->setCore(_proxyTransPtr);
        proxyNode->addChild(_sphereNode);
        osg::endEditCP(proxyNode, osg::Node::CoreFieldMask | osg::Node::ChildrenFieldMask);
    } else {
        _proxyTransPtr = osg::NullFC; // nothing carries it: it goes with the build
    }

    attachProxy(proxyNode);
}

void PointLightProc::nodeChanged(const double& time, const BitVector<unsigned long long>& mask)
{
    PointLight* node = getPointLight();
    if (lightCoreChanged(mask, coreFields))
        commitLightCore(node->attenuation().getValue());
    finishNodeChanged(time, mask, PointLight::globalMask, node->global());
}

void PointLightProc::updateOSGFieldValues(const BitVector<unsigned long long>& mask)
{
    PointLight* node = getPointLight();
    const osg::TransformPtr beacon = osg::TransformPtr::dcast(getCorePtr());

    if ((mask & (Light::colorMask | Light::intensityMask)).any())
        setProxyDiffuse(_sphereNode, directColour());

    if ((mask & PointLight::locationMask).any() && beacon != osg::NullFC) {
        // The light core sits at the beacon frame's origin; the beacon moves it.
        osg::Matrix matrix;
        matrix.setTransform(node->location().getValue(), osg::Quaternion()); // no rotation
        beacon->setMatrix(matrix);
        osg::endEditCP(beacon, osg::TransformBase::MatrixFieldMask);
    }
}

} // namespace Morvek
