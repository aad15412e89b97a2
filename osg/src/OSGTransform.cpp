#include <OpenSG/OSGTransform.h>

OSG_BEGIN_NAMESPACE

FieldContainerPtr Transform::createPrototype() { return FieldContainerPtr(new Transform()); }

FieldContainerPtr Transform::shallowCopy() const { return FieldContainerPtr(new Transform(*this)); }

void Transform::accumulateMatrix(Matrix& result) { result.mult(getMatrix()); }

void Transform::adjustVolume(BoxVolume& volume) { volume.transform(getMatrix()); }

void Transform::changed(BitVector whichField, UInt32 origin)
{
    if (whichField & MatrixFieldMask)
        invalidateParentVolumes();
    TransformBase::changed(whichField, origin);
}

OSG_END_NAMESPACE
