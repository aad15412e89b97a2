#pragma once

#include <OpenSG/OSGTransformBase.h>

OSG_BEGIN_NAMESPACE

// A group whose children live in parent * matrix space.
class Transform : public TransformBase {
public:
    // result = result * matrix
    void accumulateMatrix(Matrix& result) override;
    // Transforms the children's box by the matrix.
    void adjustVolume(BoxVolume& volume) override;
    // Matrix bit: the boxes of the nodes carrying this core are stale.
    void changed(BitVector whichField, UInt32 origin) override;
    FieldContainerPtr shallowCopy() const override;

protected:
    friend class TransformBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(Transform)

private:
    friend class FieldContainerType;
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
