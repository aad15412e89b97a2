#include <morvekLightingNodePool/DirectionalLightProc.h>

#include <morvekLightingNodePool/DirectionalLight.h>

#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGQuaternion.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGTransform.h>

namespace Morvek {

namespace {

// Arrow proportions: the shaft spans y from -0.375 to 0.375, the head from 0.375 to 0.75, so the
// arrow is 1.125 long with its tip at y = 0.75 before the rotation.
const float coneHeight = 0.375f;
const float coneRadius = 0.3f;
const float cylinderHeight = 0.75f;
const float cylinderRadius = 0.15f;
const float headOffset = 0.5625f; // shaft top (0.375) plus half the head's height (0.1875)
const osg::UInt16 sides = 16;
// Turns the arrow from +y to -z, the direction the light shines before the beacon turns it.
const float arrowRotation = -1.5707963f;
// Transparency of the arrow's materials.
const float proxyTransparency = 0.5f;

// The fields the light core shows: its colours. The arrow takes its colour with them.
const FieldMask coreFields = Light::colorMask | Light::ambientIntensityMask | Light::intensityMask;

} // namespace

DirectionalLightProc::DirectionalLightProc(NodeType& type, Node& node)
    : LightProc(type, node), _coneNode(osg::NullFC), _cylinderNode(osg::NullFC)
{
    adoptLightCore(osg::DirectionalLightBase::create(), CoreAtAttach::Colours);
    addProxyGeometry(proxyTransparency);
}

DirectionalLightProc::DirectionalLightProc(DirectionalLightProc& other)
    : LightProc(other), _coneNode(osg::NullFC), _cylinderNode(osg::NullFC)
{
    adoptLightCore(osg::DirectionalLightBase::create(), CoreAtAttach::Colours);
    addProxyGeometry(proxyTransparency);
}

DirectionalLightProc::~DirectionalLightProc() = default;

DirectionalLightProc& DirectionalLightProc::operator=(const DirectionalLightProc& other)
{
    LightProc::operator=(other);
    _coneNode = other._coneNode;
    _cylinderNode = other._cylinderNode;
    return *this;
}

DirectionalLight* DirectionalLightProc::getDirectionalLight() const
{
    return static_cast<DirectionalLight*>(getLight());
}

void DirectionalLightProc::addProxyGeometry(float transparency)
{
    BuildRefs held; // frees parts left without parent when a creation fails
    _coneNode = held(osg::makeCone(coneHeight, coneRadius, sides, true, true));
    _cylinderNode =
        held(osg::makeCylinder(cylinderHeight, cylinderRadius, sides, true, true, true));

    const osg::PolygonChunkPtr chunk = held(createProxyPolygonChunk());
    addProxyMaterial(_coneNode, chunk, transparency);
    addProxyMaterial(_cylinderNode, chunk, transparency);

    // Head: the cone on top of the shaft.
    const osg::NodePtr headNode = makeOffsetNode(held, headOffset, _coneNode);

    // Rotation: shaft and head turned from +y to -z.
    const osg::NodePtr rotNode = held(osg::Node::create());
    const osg::TransformPtr rotTrans = held(osg::TransformBase::create());
    if (rotTrans != osg::NullFC) {
        // The same turn for every arrow: worked out once, by the same steps.
        static const osg::Matrix turn = [] {
            osg::Quaternion rotation;
            rotation.setValueAsAxisRad(1.0f, 0.0f, 0.0f, arrowRotation);
            osg::Matrix matrix; // identity outside the rotation part
            matrix.setRotate(rotation);
            return matrix;
        }();
        rotTrans->setMatrix(turn);
        osg::endEditCP(rotTrans, osg::TransformBase::MatrixFieldMask);
    }
    if (rotNode != osg::NullFC) {
        rotNode->setCore(rotTrans);
        rotNode->addChild(_cylinderNode);
        rotNode->addChild(headNode);
        osg::endEditCP(rotNode, osg::Node::ChildrenFieldMask | osg::Node::CoreFieldMask);
    }

    // Proxy root: its transform scales the arrow (LightProc::nodeChanged).
    addProxyRoot(held, {rotNode});
}

void DirectionalLightProc::nodeChanged(const double& time,
                                       const BitVector<unsigned long long>& mask)
{
    if (coreFieldsChanged(mask, coreFields))
        commitLightCore();
    finishNodeChanged(time, mask, DirectionalLight::globalMask, getDirectionalLight()->global());
}

void DirectionalLightProc::updateOSGFieldValues(const BitVector<unsigned long long>& mask)
{
    if ((mask & coreFields).any()) {
        const osg::Color3f arrow = directColour();
        setProxyDiffuse(_coneNode, arrow);
        setProxyDiffuse(_cylinderNode, arrow);
    }

    if ((mask & DirectionalLight::directionMask).any()) {
        osg::Matrix matrix;
        // Pure rotation: any translation is dropped.
        matrix.setTransform(beaconRotation(getDirectionalLight()->direction().getValue()));
        setBeaconMatrix(matrix);
    }
}

} // namespace Morvek
