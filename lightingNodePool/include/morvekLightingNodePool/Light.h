#pragma once

#include <morvekBase/BitVector.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/NodeType.h>
#include <morvekBase/SFBool.h>
#include <morvekBase/SFColor.h>
#include <morvekBase/SFFloat.h>
#include <morvekBase/SFVec3f.h>
#include <morvekCoreNodePool/VisualEffector.h>

namespace Morvek {

class LightProc;

// Abstract base of the light node types: the fields every light has (colour, intensities,
// proxy geometry switches, shadow intensity, the multi-pass `local` flag).
//
// Field indices continue VisualEffector's (0 to 2); each index is the previous one plus one and
// each mask has only its index's bit set. The concrete light types number their own fields
// from nextFieldIndex on, so masks of different light types share bits.
class Light : public VisualEffector {
public:
    // Ambient emission, 0 to 1; default 0.
    static constexpr unsigned ambientIntensityIndex = 3;
    static constexpr FieldMask ambientIntensityMask = FieldMask::bit(ambientIntensityIndex);
    // RGB colour of the light, each component 0 to 1; default white (1 1 1).
    static constexpr unsigned colorIndex = ambientIntensityIndex + 1;
    static constexpr FieldMask colorMask = FieldMask::bit(colorIndex);
    // Direct emission, 0 to 1; default 1.
    static constexpr unsigned intensityIndex = colorIndex + 1;
    static constexpr FieldMask intensityMask = FieldMask::bit(intensityIndex);
    // Whether the proxy geometry is shown; default FALSE.
    static constexpr unsigned showProxyGeometryIndex = intensityIndex + 1;
    static constexpr FieldMask showProxyGeometryMask = FieldMask::bit(showProxyGeometryIndex);
    // Scale of the proxy geometry along x, y, z; default 1 1 1.
    static constexpr unsigned proxyGeometrySizeIndex = showProxyGeometryIndex + 1;
    static constexpr FieldMask proxyGeometrySizeMask = FieldMask::bit(proxyGeometrySizeIndex);
    // Darkness of the light's shadow, 0 (none) to 1; default 0.
    static constexpr unsigned shadowIntensityIndex = proxyGeometrySizeIndex + 1;
    static constexpr FieldMask shadowIntensityMask = FieldMask::bit(shadowIntensityIndex);
    // TRUE: the light is meant for multi-pass use and is neither registered nor scoped;
    // default FALSE.
    static constexpr unsigned localIndex = shadowIntensityIndex + 1;
    static constexpr FieldMask localMask = FieldMask::bit(localIndex);

    // First index free for the concrete light types.
    static constexpr unsigned nextFieldIndex = localIndex + 1;

    SFFloat& ambientIntensity() { return ambientIntensityField; }
    SFColor& color() { return colorField; }
    SFFloat& intensity() { return intensityField; }
    SFBool& showProxyGeometry() { return showProxyGeometryField; }
    SFVec3f& proxyGeometrySize() { return proxyGeometrySizeField; }
    SFFloat& shadowIntensity() { return shadowIntensityField; }
    SFBool& local() { return localField; }

    static NodeType& classType();
    // Checks that the record is registered and logs the outcome at level 4; true when found.
    static bool init();
    // A node of this type through the record's node factory, or null. The record is abstract,
    // so this yields a Light only if the host's factory makes one for it.
    static Light* create(BaseObject* context, const char* name, NodeCreator creator);

    // The processor the host attached, or null.
    LightProc* getLightProc();

    // Hands the change to the processor unless the same field of this node is already being
    // handed on (then the change is dropped with one level-4 line).
    void fieldChanged(Field& field, const double& time, Field* source) override;

protected:
    Light(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~Light() override;

    // The loop guard shared by every light type's fieldChanged; `sourceFile`, `line` and
    // `function` name the caller in the log header.
    void forwardFieldChange(Field& field, const double& time, Field* source, const char* sourceFile,
                            unsigned line, const char* function);

private:
    static bool isType(Node* node);

    static NodePartDesc _desc[7];
    static NodeType _type;

    SFFloat ambientIntensityField;
    SFColor colorField;
    SFFloat intensityField;
    SFBool showProxyGeometryField;
    SFVec3f proxyGeometrySizeField;
    SFFloat shadowIntensityField;
    SFBool localField;
};

} // namespace Morvek
