#pragma once

#include <morvekBase/SFBool.h>
#include <morvekBase/SFVec3f.h>
#include <morvekLightingNodePool/Light.h>

namespace Morvek {

class DirectionalLightProc;

// A light with parallel rays from an infinitely distant source, shining along `direction`.
//
// Field indices continue Light's, from Light::nextFieldIndex.
class DirectionalLight : public Light {
public:
    // Direction in which the light shines, in the node's coordinate system; default 0 0 -1.
    static constexpr unsigned directionIndex = Light::nextFieldIndex;
    static constexpr FieldMask directionMask = FieldMask::bit(directionIndex);
    // TRUE: lights the whole scene; FALSE: only the children of its parent groups. Default FALSE.
    static constexpr unsigned globalIndex = directionIndex + 1;
    static constexpr FieldMask globalMask = FieldMask::bit(globalIndex);

    SFVec3f& direction() { return directionField; }
    SFBool& global() { return globalField; }

    static NodeType& classType();
    // Checks that the record is registered and logs the outcome at level 4; true when found.
    static bool init();
    // A new node through the record's node factory; null when the host makes none or makes
    // a node of another class.
    static DirectionalLight* create(BaseObject* context, const char* name, NodeCreator creator);

    // The processor the host attached, or null.
    DirectionalLightProc* getDirectionalLightProc();

    // See Light::fieldChanged.
    void fieldChanged(Field& field, const double& time, Field* source) override;

protected:
    DirectionalLight(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    // The same with this class's own record as the type.
    DirectionalLight(NodeNameSpace& nameSpace, const char* name);
    ~DirectionalLight() override;

private:
    static Node* createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    static NodeProc* createProc(NodeType& type, Node& node);
    static bool isType(Node* node);

    static NodePartDesc _desc[2];
    static NodeType _type;

    SFVec3f directionField;
    SFBool globalField;
};

} // namespace Morvek
