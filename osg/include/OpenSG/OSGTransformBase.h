#pragma once

#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGTransformFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of Transform: the matrix field (default: identity).
class TransformBase : public Group {
    typedef Group Inherited;

public:
    static constexpr UInt32 MatrixFieldId = Inherited::NextFieldId;
    static constexpr BitVector MatrixFieldMask = maskOf(MatrixFieldId);
    static constexpr UInt32 NextFieldId = MatrixFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new transform (count 0, identity), or NullFC before osgInit.
    static TransformPtr create();

    Matrix& getMatrix() { return _matrix; }
    const Matrix& getMatrix() const { return _matrix; }
    Matrix& editMatrix() { return _matrix; }
    void setMatrix(const Matrix& value) { _matrix = value; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(TransformBase)

private:
    static FieldContainerType _type;

    Matrix _matrix;
};

OSG_END_NAMESPACE
