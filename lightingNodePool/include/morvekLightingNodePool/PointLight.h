#pragma once

#include <morvekBase/SFBool.h>
#include <morvekBase/SFFloat.h>
#include <morvekBase/SFVec3f.h>
#include <morvekLightingNodePool/Light.h>

namespace Morvek {

class PointLightProc;

// A light at `location` that shines in all directions.
//
// Field indices continue Light's, from Light::nextFieldIndex.
class PointLight : public Light {
public:
    // Constant, linear and quadratic fall-off factors; default 1 0 0.
    static constexpr unsigned attenuationIndex = Light::nextFieldIndex;
    static constexpr FieldMask attenuationMask = FieldMask::bit(attenuationIndex);
    // Position of the light in the node's coordinate system; default 0 0 0.
    static constexpr unsigned locationIndex = attenuationIndex + 1;
    static constexpr FieldMask locationMask = FieldMask::bit(locationIndex);
    // Reach of the light (not used for lighting yet); default 100.
    static constexpr unsigned radiusIndex = locationIndex + 1;
    static constexpr FieldMask radiusMask = FieldMask::bit(radiusIndex);
    // TRUE: lights the whole scene; FALSE: only the children of its parent groups. Default TRUE.
    static constexpr unsigned globalIndex = radiusIndex + 1;
    static constexpr FieldMask globalMask = FieldMask::bit(globalIndex);

    SFVec3f& attenuation() { return attenuationField; }
    SFVec3f& location() { return locationField; }
    SFFloat& radius() { return radiusField; }
    SFBool& global() { return globalField; }

    static NodeType& classType();
    // Checks that the record is registered and logs the outcome at level 4; true when found.
    static bool init();
    // A new node through the record's node factory; null when the host makes none or makes
    // a node of another class.
    static PointLight* create(BaseObject* context, const char* name, NodeCreator creator);

    // The processor the host attached, or null.
    PointLightProc* getPointLightProc();

    // See Light::fieldChanged.
    void fieldChanged(Field& field, const double& time, Field* source) override;

protected:
    PointLight(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    // The same with this class's own record as the type.
    PointLight(NodeNameSpace& nameSpace, const char* name);
    ~PointLight() override;

private:
    static Node* createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    static NodeProc* createProc(NodeType& type, Node& node);
    static bool isType(Node* node);

    static NodePartDesc _desc[4];
    static NodeType _type;

    SFVec3f attenuationField;
    SFVec3f locationField;
    SFFloat radiusField;
    SFBool globalField;
};

} // namespace Morvek
