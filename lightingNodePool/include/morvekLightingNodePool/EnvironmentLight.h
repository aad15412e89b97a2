#pragma once

#include <morvekBase/MFNode.h>
#include <morvekBase/SFBool.h>
#include <morvekBase/SFInt32.h>
#include <morvekBase/SFNode.h>
#include <morvekLightingNodePool/Light.h>

namespace Morvek {

class EnvironmentLightProc;

// A light that derives DirectionalLight nodes from a lat-long environment texture: the image is
// split into regions of about equal energy and the densest regions become lights.
//
// Field indices continue Light's, from Light::nextFieldIndex.
class EnvironmentLight : public Light {
public:
    // Texture node with the lat-long environment image the lights are taken from; default NULL.
    static constexpr unsigned envTextureIndex = Light::nextFieldIndex;
    static constexpr FieldMask envTextureMask = FieldMask::bit(envTextureIndex);
    // Largest number of lights generated; default 2.
    static constexpr unsigned numLightsIndex = envTextureIndex + 1;
    static constexpr FieldMask numLightsMask = FieldMask::bit(numLightsIndex);
    // TRUE: lights the whole scene; FALSE: only the children of its parent groups. Default TRUE.
    static constexpr unsigned globalIndex = numLightsIndex + 1;
    static constexpr FieldMask globalMask = FieldMask::bit(globalIndex);
    // The generated DirectionalLight nodes, densest region first; empty by default.
    static constexpr unsigned _lightsIndex = globalIndex + 1;
    static constexpr FieldMask _lightsMask = FieldMask::bit(_lightsIndex);

    SFNode& envTexture() { return envTextureField; }
    SFInt32& numLights() { return numLightsField; }
    SFBool& global() { return globalField; }
    MFNode& _lights() { return _lightsField; }

    static NodeType& classType();
    // Checks that the record is registered and logs the outcome at level 4; true when found.
    static bool init();
    // A new node through the record's node factory; null when the host makes none or makes
    // a node of another class.
    static EnvironmentLight* create(BaseObject* context, const char* name, NodeCreator creator);

    // The processor the host attached, or null.
    EnvironmentLightProc* getEnvironmentLightProc();

    // See Light::fieldChanged.
    void fieldChanged(Field& field, const double& time, Field* source) override;

protected:
    EnvironmentLight(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    // The same with this class's own record as the type.
    EnvironmentLight(NodeNameSpace& nameSpace, const char* name);
    ~EnvironmentLight() override;

private:
    static Node* createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    static NodeProc* createProc(NodeType& type, Node& node);
    static bool isType(Node* node);

    static NodePartDesc _desc[4];
    static NodeType _type;

    SFNode envTextureField;
    SFInt32 numLightsField;
    SFBool globalField;
    MFNode _lightsField;
};

} // namespace Morvek
