#pragma once

#include <OpenSG/OSGVector.h>

#include <cmath>
#include <ostream>

OSG_BEGIN_NAMESPACE

template <class ValueTypeT> class QuaternionBase;

// A 4x4 transformation stored as four column vectors: m[c][r] is column c, row r, and the
// translation lives in m[3][0..2]. getValues() is that column-major storage, as
// glMultMatrixf expects it. Products are summed left to right over the inner index.
template <class ValueTypeT> class TransformationMatrix {
public:
    typedef ValueTypeT ValueType;
    typedef Vector<ValueTypeT, 3> VectorType3f;
    typedef Vector<ValueTypeT, 4> VectorType;
    typedef Point<ValueTypeT, 3> PointType3f;
    typedef QuaternionBase<ValueTypeT> QuaternionType;

    static const TransformationMatrix& identity()
    {
        static const TransformationMatrix id;
        return id;
    }

    // The identity.
    TransformationMatrix() { setIdentity(); }
    // Values in row-major reading order: the first four form row 0, so the 4th, 8th and
    // 12th are the translation.
    TransformationMatrix(ValueTypeT rVal00, ValueTypeT rVal10, ValueTypeT rVal20, ValueTypeT rVal30,
                         ValueTypeT rVal01, ValueTypeT rVal11, ValueTypeT rVal21, ValueTypeT rVal31,
                         ValueTypeT rVal02, ValueTypeT rVal12, ValueTypeT rVal22, ValueTypeT rVal32,
                         ValueTypeT rVal03, ValueTypeT rVal13, ValueTypeT rVal23, ValueTypeT rVal33)
    {
        setValue(rVal00, rVal10, rVal20, rVal30, rVal01, rVal11, rVal21, rVal31, rVal02, rVal12,
                 rVal22, rVal32, rVal03, rVal13, rVal23, rVal33);
    }

    void setIdentity()
    {
        for (UInt32 c = 0; c < 4; ++c)
            for (UInt32 r = 0; r < 4; ++r)
                _matrix[c][r] = (c == r) ? ValueTypeT(1) : ValueTypeT(0);
    }
    // Row-major reading order, as the 16-value constructor.
    void setValue(ValueTypeT rVal00, ValueTypeT rVal10, ValueTypeT rVal20, ValueTypeT rVal30,
                  ValueTypeT rVal01, ValueTypeT rVal11, ValueTypeT rVal21, ValueTypeT rVal31,
                  ValueTypeT rVal02, ValueTypeT rVal12, ValueTypeT rVal22, ValueTypeT rVal32,
                  ValueTypeT rVal03, ValueTypeT rVal13, ValueTypeT rVal23, ValueTypeT rVal33)
    {
        _matrix[0].setValues(rVal00, rVal01, rVal02, rVal03);
        _matrix[1].setValues(rVal10, rVal11, rVal12, rVal13);
        _matrix[2].setValues(rVal20, rVal21, rVal22, rVal23);
        _matrix[3].setValues(rVal30, rVal31, rVal32, rVal33);
    }
    // 16 values; with bTransposed (the default) they are in column-major storage order,
    // otherwise in row-major reading order.
    void setValue(const ValueTypeT* values, bool bTransposed = true)
    {
        for (UInt32 c = 0; c < 4; ++c)
            for (UInt32 r = 0; r < 4; ++r)
                _matrix[c][r] = bTransposed ? values[c * 4 + r] : values[r * 4 + c];
    }

    ValueTypeT* getValues() { return _matrix[0].getValues(); }
    const ValueTypeT* getValues() const { return _matrix[0].getValues(); }
    // Column c.
    VectorType& operator[](UInt32 c) { return _matrix[c]; }
    const VectorType& operator[](UInt32 c) const { return _matrix[c]; }

    // Write only the diagonal [0][0], [1][1], [2][2].
    void setScale(ValueTypeT s) { setScale(s, s, s); }
    void setScale(ValueTypeT sx, ValueTypeT sy, ValueTypeT sz)
    {
        _matrix[0][0] = sx;
        _matrix[1][1] = sy;
        _matrix[2][2] = sz;
    }
    void setScale(const VectorType3f& s) { setScale(s[0], s[1], s[2]); }

    // Write only [3][0..2].
    void setTranslate(ValueTypeT tx, ValueTypeT ty, ValueTypeT tz)
    {
        _matrix[3][0] = tx;
        _matrix[3][1] = ty;
        _matrix[3][2] = tz;
    }
    void setTranslate(const VectorType3f& t) { setTranslate(t[0], t[1], t[2]); }
    void setTranslate(const PointType3f& t) { setTranslate(t[0], t[1], t[2]); }

    // Writes only the 3x3 rotation part.
    void setRotate(const QuaternionType& q);

    // Identity, then translation t.
    void setTransform(const VectorType3f& t)
    {
        setIdentity();
        setTranslate(t);
    }
    // The 3x3 part from q, everything else 0 except [3][3] = 1 (any translation is dropped).
    void setTransform(const QuaternionType& q);
    // The 3x3 part from q, bottom row (0,0,0,1), translation t.
    void setTransform(const VectorType3f& t, const QuaternionType& q);
    // As above, with columns 0 to 2 scaled by s.
    void setTransform(const VectorType3f& t, const QuaternionType& q, const VectorType3f& s);

    // this = this * m
    void mult(const TransformationMatrix& m)
    {
        TransformationMatrix lhs(*this);
        product(lhs, m, *this);
    }
    // this = m * this
    void multLeft(const TransformationMatrix& m)
    {
        TransformationMatrix rhs(*this);
        product(m, rhs, *this);
    }

    // With translation, without the projective divide.
    void multMatrixPnt(const PointType3f& src, PointType3f& dst) const
    {
        PointType3f s(src);
        for (UInt32 r = 0; r < 3; ++r)
            dst[r] =
                s[0] * _matrix[0][r] + s[1] * _matrix[1][r] + s[2] * _matrix[2][r] + _matrix[3][r];
    }
    void multMatrixPnt(PointType3f& pnt) const { multMatrixPnt(pnt, pnt); }
    // With translation and the divide by the resulting w.
    void multFullMatrixPnt(const PointType3f& src, PointType3f& dst) const
    {
        PointType3f s(src);
        ValueTypeT w =
            s[0] * _matrix[0][3] + s[1] * _matrix[1][3] + s[2] * _matrix[2][3] + _matrix[3][3];
        multMatrixPnt(s, dst);
        if (w != ValueTypeT(0) && w != ValueTypeT(1)) {
            ValueTypeT rw = ValueTypeT(1) / w;
            for (UInt32 r = 0; r < 3; ++r)
                dst[r] *= rw;
        }
    }
    void multFullMatrixPnt(PointType3f& pnt) const { multFullMatrixPnt(pnt, pnt); }
    // Without translation.
    void multMatrixVec(const VectorType3f& src, VectorType3f& dst) const
    {
        VectorType3f s(src);
        for (UInt32 r = 0; r < 3; ++r)
            dst[r] = s[0] * _matrix[0][r] + s[1] * _matrix[1][r] + s[2] * _matrix[2][r];
    }
    void multMatrixVec(VectorType3f& vec) const { multMatrixVec(vec, vec); }
    // Full 4x4 times a 4-component column vector.
    void mult(const VectorType& src, VectorType& dst) const
    {
        VectorType s(src);
        for (UInt32 r = 0; r < 4; ++r)
            dst[r] = s[0] * _matrix[0][r] + s[1] * _matrix[1][r] + s[2] * _matrix[2][r] +
                     s[3] * _matrix[3][r];
    }

    ValueTypeT det3() const
    {
        const TransformationMatrix& m = *this;
        return m[0][0] * (m[1][1] * m[2][2] - m[2][1] * m[1][2]) -
               m[1][0] * (m[0][1] * m[2][2] - m[2][1] * m[0][2]) +
               m[2][0] * (m[0][1] * m[1][2] - m[1][1] * m[0][2]);
    }
    ValueTypeT det() const;

    // Inverse into result; false (and result unchanged) when |det| < Eps.
    bool inverse(TransformationMatrix& result) const;
    bool invert()
    {
        TransformationMatrix result;
        if (!inverse(result))
            return false;
        *this = result;
        return true;
    }
    void transpose()
    {
        for (UInt32 c = 0; c < 4; ++c)
            for (UInt32 r = c + 1; r < 4; ++r) {
                ValueTypeT t = _matrix[c][r];
                _matrix[c][r] = _matrix[r][c];
                _matrix[r][c] = t;
            }
    }

    bool equals(const TransformationMatrix& other, ValueTypeT tolerance) const
    {
        for (UInt32 c = 0; c < 4; ++c)
            if (!_matrix[c].equals(other._matrix[c], tolerance))
                return false;
        return true;
    }
    bool operator==(const TransformationMatrix& other) const
    {
        for (UInt32 c = 0; c < 4; ++c)
            if (_matrix[c] != other._matrix[c])
                return false;
        return true;
    }
    bool operator!=(const TransformationMatrix& other) const { return !(*this == other); }

private:
    // out = a * b, summing over k from 0 to 3.
    static void product(const TransformationMatrix& a, const TransformationMatrix& b,
                        TransformationMatrix& out)
    {
        for (UInt32 c = 0; c < 4; ++c)
            for (UInt32 r = 0; r < 4; ++r)
                out._matrix[c][r] =
                    a._matrix[0][r] * b._matrix[c][0] + a._matrix[1][r] * b._matrix[c][1] +
                    a._matrix[2][r] * b._matrix[c][2] + a._matrix[3][r] * b._matrix[c][3];
    }

    VectorType _matrix[4];
};

template <class ValueTypeT> ValueTypeT TransformationMatrix<ValueTypeT>::det() const
{
    // Laplace expansion along column 0 with 3x3 minors over columns 1..3.
    const TransformationMatrix& m = *this;
    auto minor3 = [&m](UInt32 skipRow) {
        UInt32 r[3];
        for (UInt32 i = 0, k = 0; i < 4; ++i)
            if (i != skipRow)
                r[k++] = i;
        return m[1][r[0]] * (m[2][r[1]] * m[3][r[2]] - m[3][r[1]] * m[2][r[2]]) -
               m[2][r[0]] * (m[1][r[1]] * m[3][r[2]] - m[3][r[1]] * m[1][r[2]]) +
               m[3][r[0]] * (m[1][r[1]] * m[2][r[2]] - m[2][r[1]] * m[1][r[2]]);
    };
    return m[0][0] * minor3(0) - m[0][1] * minor3(1) + m[0][2] * minor3(2) - m[0][3] * minor3(3);
}

template <class ValueTypeT>
bool TransformationMatrix<ValueTypeT>::inverse(TransformationMatrix& result) const
{
    // Gauss-Jordan elimination with partial pivoting on the row-major reading, in double.
    double a[4][8];
    for (UInt32 r = 0; r < 4; ++r)
        for (UInt32 c = 0; c < 4; ++c) {
            a[r][c] = double(_matrix[c][r]);
            a[r][c + 4] = (r == c) ? 1.0 : 0.0;
        }
    double determinant = 1.0;
    for (UInt32 col = 0; col < 4; ++col) {
        UInt32 pivot = col;
        for (UInt32 r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (pivot != col) {
            for (UInt32 k = 0; k < 8; ++k) {
                double t = a[col][k];
                a[col][k] = a[pivot][k];
                a[pivot][k] = t;
            }
            determinant = -determinant;
        }
        double p = a[col][col];
        determinant *= p;
        if (p == 0.0)
            break;
        for (UInt32 k = 0; k < 8; ++k)
            a[col][k] /= p;
        for (UInt32 r = 0; r < 4; ++r) {
            if (r == col)
                continue;
            double f = a[r][col];
            for (UInt32 k = 0; k < 8; ++k)
                a[r][k] -= f * a[col][k];
        }
    }
    if (std::fabs(determinant) < double(Eps))
        return false;
    for (UInt32 r = 0; r < 4; ++r)
        for (UInt32 c = 0; c < 4; ++c)
            result._matrix[c][r] = ValueTypeT(a[r][c + 4]);
    return true;
}

// Row by row, in reading order.
template <class ValueTypeT>
std::ostream& operator<<(std::ostream& os, const TransformationMatrix<ValueTypeT>& m)
{
    for (UInt32 r = 0; r < 4; ++r)
        os << m[0][r] << ' ' << m[1][r] << ' ' << m[2][r] << ' ' << m[3][r] << '\n';
    return os;
}

typedef TransformationMatrix<Real32> Matrix4f;
typedef TransformationMatrix<Real64> Matrix4d;
typedef TransformationMatrix<Real32> Matrix;

OSG_END_NAMESPACE

#include <OpenSG/OSGQuaternion.h>

OSG_BEGIN_NAMESPACE

template <class ValueTypeT>
void TransformationMatrix<ValueTypeT>::setRotate(const QuaternionType& q)
{
    q.getValuesOnly(*this);
}

template <class ValueTypeT>
void TransformationMatrix<ValueTypeT>::setTransform(const QuaternionType& q)
{
    q.getValue(*this);
}

template <class ValueTypeT>
void TransformationMatrix<ValueTypeT>::setTransform(const VectorType3f& t, const QuaternionType& q)
{
    q.getValue(*this);
    setTranslate(t);
}

template <class ValueTypeT>
void TransformationMatrix<ValueTypeT>::setTransform(const VectorType3f& t, const QuaternionType& q,
                                                    const VectorType3f& s)
{
    q.getValue(*this);
    for (UInt32 c = 0; c < 3; ++c)
        for (UInt32 r = 0; r < 3; ++r)
            _matrix[c][r] *= s[c];
    setTranslate(t);
}

OSG_END_NAMESPACE
