#include <morvekLightingNodePool/SpotLightProc.h>

#include <morvekLightingNodePool/SpotLight.h>

#include <OpenSG/OSGGeometry.h>
#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGQuaternion.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>
#include <OpenSG/OSGSpotLight.h>
#include <OpenSG/OSGTransform.h>

#include <cmath>

namespace Morvek {

namespace {

const float coneHeight = 0.8f;
const float initialConeRadius = 0.5f; // until the first cut-off update
const osg::UInt16 sides = 16;
const osg::UInt16 sphereDepth = 2; // subdivisions of the icosahedron: 320 triangles
const float sphereRadius = 0.2f;
const float sphereOffset = 0.3f; // along the cone's axis (+y)
// Transparency of the proxy's materials.
const float proxyTransparency = 0.5f;

// The fields whose change rewrites the light core (with all its values).
const FieldMask coreFields =
    VisualEffector::onMask | Light::colorMask | Light::ambientIntensityMask | Light::intensityMask |
    SpotLight::attenuationMask | SpotLight::locationMask | SpotLight::directionMask |
    SpotLight::cutOffAngleMask | SpotLight::beamWidthMask;

// The cut-off OpenSG gets: the angle itself inside (0, maxCutOff), maxCutOff at or above it,
// 0 for zero, negative and NaN angles.
float clampedCutOff(float angle)
{
    if (angle > 0.0f && angle < SpotLightProc::maxCutOff)
        return angle;
    if (angle > 0.0f)
        return SpotLightProc::maxCutOff;
    return 0.0f;
}

} // namespace

SpotLightProc::SpotLightProc(NodeType& type, Node& node)
    : LightProc(type, node), _coneNode(osg::NullFC), _sphereNode(osg::NullFC)
{
    adoptLightCore(osg::SpotLightBase::create(), CoreAtAttach::Untouched);
    addProxyGeometry(proxyTransparency);
}

SpotLightProc::SpotLightProc(SpotLightProc& other)
    : LightProc(other), _coneNode(osg::NullFC), _sphereNode(osg::NullFC)
{
    adoptLightCore(osg::SpotLightBase::create(), CoreAtAttach::Untouched);
    addProxyGeometry(proxyTransparency);
}

SpotLightProc::~SpotLightProc() = default;

SpotLightProc& SpotLightProc::operator=(const SpotLightProc& other)
{
    LightProc::operator=(other);
    _coneNode = other._coneNode;
    _sphereNode = other._sphereNode;
    return *this;
}

SpotLight* SpotLightProc::getSpotLight() const { return static_cast<SpotLight*>(getLight()); }

void SpotLightProc::addProxyGeometry(float transparency)
{
    BuildRefs held; // frees parts left without parent when a creation fails
    _coneNode = held(osg::makeCone(coneHeight, initialConeRadius, sides, true, true));
    _sphereNode = held(osg::makeSphere(sphereDepth, sphereRadius));

    const osg::PolygonChunkPtr chunk = held(createProxyPolygonChunk());
    addProxyMaterial(_coneNode, chunk, transparency);
    addProxyMaterial(_sphereNode, chunk, transparency);

    // The sphere sits on the cone's axis.
    const osg::NodePtr offsetNode = makeOffsetNode(held, sphereOffset, _sphereNode);

    // Proxy root: its transform scales cone and sphere (LightProc::nodeChanged).
    addProxyRoot(held, {_coneNode, offsetNode});
}

void SpotLightProc::nodeChanged(const double& time, const BitVector<unsigned long long>& mask)
{
    SpotLight* node = getSpotLight();
    if (coreFieldsChanged(mask, coreFields)) {
        const osg::SpotLightPtr light = osg::SpotLightPtr::dcast(_lightPtr);
        // The light shines along -z of the beacon frame; the beacon turns it.
        light->osg::SpotLightBase::setDirection(osg::Vec3f(0.0f, 0.0f, -1.0f));
        light->setSpotCutOff(clampedCutOff(node->cutOffAngle().getValue()));
        light->setSpotExponent(spotExponent);
        commitLightCore(node->attenuation().getValue());
    }
    finishNodeChanged(time, mask, SpotLight::globalMask, node->global());
}

void SpotLightProc::updateOSGFieldValues(const BitVector<unsigned long long>& mask)
{
    SpotLight* node = getSpotLight();

    if ((mask & SpotLight::cutOffAngleMask).any()) {
        // The cone opens as wide as the cut-off angle: half the angle at the apex. Built from
        // the field's own value, not the clamped one.
        const float cutOff = node->cutOffAngle().getValue();
        const float radius = coneHeight * tanf(0.5f * cutOff);

        osg::SimpleMaterialPtr kept = osg::NullFC;
        if (_coneNode != osg::NullFC) {
            const osg::GeometryPtr old = osg::GeometryPtr::dcast(_coneNode->getCore());
            if (old != osg::NullFC)
                kept = osg::SimpleMaterialPtr::dcast(old->getMaterial());
        }
        // Null for a negative radius: the cone then keeps its shape.
        const osg::GeometryPtr geometry = osg::makeConeGeo(coneHeight, radius, sides, true, true);
        if (geometry != osg::NullFC) {
            if (kept != osg::NullFC) {
                geometry->setMaterial(kept);
                osg::endEditCP(geometry, osg::MaterialDrawableBase::MaterialFieldMask);
            }
            if (_coneNode != osg::NullFC) {
                _coneNode->setCore(geometry);
                osg::endEditCP(_coneNode, osg::Node::CoreFieldMask);
            } else {
                osg::subRefCP(geometry); // nobody to carry it
            }
        }
    }

    if ((mask & (Light::colorMask | Light::intensityMask)).any()) {
        const osg::Color3f diffuse = directColour();
        setProxyDiffuse(_coneNode, diffuse);
        setProxyDiffuse(_sphereNode, diffuse);
    }

    if ((mask & (SpotLight::directionMask | SpotLight::locationMask)).any()) {
        osg::Matrix matrix;
        matrix.setTransform(node->location().getValue(),
                            beaconRotation(node->direction().getValue()));
        setBeaconMatrix(matrix);
    }
}

} // namespace Morvek
