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

PointLight* PointLightProc::getPointLight() const { return static_cast<PointLight*>(getLight()); }

void PointLightProc::addProxyGeometry(float transparency)
{
    BuildRefs held; // frees parts left without parent when a creation fails
    _sphereNode = held(osg::makeSphere(sphereDepth, sphereRadius));

    const osg::PolygonChunkPtr chunk = held(createProxyPolygonChunk());
    addProxyMaterial(_sphereNode, chunk, transparency);

    addProxyRoot(held, {_sphereNode});
}

void PointLightProc::nodeChanged(const double& time, const BitVector<unsigned long long>& mask)
{
    PointLight* node = getPointLight();
    if (coreFieldsChanged(mask, coreFields))
        commitLightCore(node->attenuation().getValue());
    finishNodeChanged(time, mask, PointLight::globalMask, node->global());
}

void PointLightProc::updateOSGFieldValues(const BitVector<unsigned long long>& mask)
{
    if ((mask & (Light::colorMask | Light::intensityMask)).any())
        setProxyDiffuse(_sphereNode, directColour());

    if ((mask & PointLight::locationMask).any()) {
        // The light core sits at the beacon frame's origin; the beacon moves it, unturned.
        osg::Matrix matrix;
        matrix.setTransform(getPointLight()->location().getValue(), osg::Quaternion());
        setBeaconMatrix(matrix);
    }
}

} // namespace Morvek
