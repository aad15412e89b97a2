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

    static FieldContainerType& getClassType() { return _type; }
    static UInt32 getClassTypeId() { return _type.getId(); }
    FieldContainerType& getType() const override { return _type; }

    // A new transform (count 0, identity), or NullFC before osgInit.
    static TransformPtr create();

    Matrix& getMatrix() { return _matrix; }
    const Matrix& getMatrix() const { return _matrix; }
    Matrix& editMatrix() { return _matrix; }
    void setMatrix(const Matrix& value) { _matrix = value; }

protected:
    TransformBase() = default;
    TransformBase(const TransformBase& source) = default;
    ~TransformBase() override = default;

private:
    static FieldContainerType _type;

    Matrix _matrix;
};

OSG_END_NAMESPACE
