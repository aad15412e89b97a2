#pragma once

#include <OpenSG/OSGMaterialBase.h>
#include <OpenSG/OSGState.h>

OSG_BEGIN_NAMESPACE

// Abstract material. What rendering uses is its State, rebuilt by every committed change
// (endEditCP): values set without endEditCP are stored but do not reach the State.
class Material : public MaterialBase {
public:
    enum TransparencyMode : Int32 {
        TransparencyAutoDetection = 0,
        TransparencyForceTransparent = 1,
        TransparencyForceOpaque = 2
    };

    const State& getState() const { return _state; }
    // Assembles the State from the current field values.
    virtual void rebuildState() = 0;
    // Honours the transparency mode; with auto detection asks the material's own test.
    bool isTransparent() const;

    // Any change rebuilds the State.
    void changed(BitVector whichField, UInt32 origin) override;

protected:
    Material() = default;
    // The State is not copied: a copy rebuilds its own.
    Material(const Material& source);
    ~Material() override = default;

    // Transparency as the material's own values say (auto detection).
    virtual bool isTransparentByContent() const { return false; }

    State& editState() { return _state; }

private:
    State _state;
};

OSG_END_NAMESPACE
