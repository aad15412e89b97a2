#pragma once

#include <OpenSG/OSGSimpleMaterialBase.h>

OSG_BEGIN_NAMESPACE

// A chunk material with fixed lighting colours.
class SimpleMaterial : public SimpleMaterialBase {
public:
    // The chunks as ChunkMaterial does, plus the lighting values with alpha =
    // 1 - transparency in all four colours, and blending when transparency > Eps.
    void rebuildState() override;
    FieldContainerPtr shallowCopy() const override;

protected:
    friend class SimpleMaterialBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(SimpleMaterial)

    bool isTransparentByContent() const override;

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
