#pragma once

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGVector.h>

#include <cmath>
#include <ostream>

OSG_BEGIN_NAMESPACE

template <class ValueTypeT> class TransformationMatrix;

// Rotation as a quaternion (x, y, z, w); the identity (0, 0, 0, 1) by default.
template <class ValueTypeT> class QuaternionBase {
public:
    typedef ValueTypeT ValueType;
    typedef Vector<ValueTypeT, 3> VectorType;
    typedef TransformationMatrix<ValueTypeT> MatrixType;

    static const QuaternionBase& identity()
    {
        static const QuaternionBase id;
        return id;
    }

    QuaternionBase() : _quat{ValueTypeT(0), ValueTypeT(0), ValueTypeT(0), ValueTypeT(1)} {}
    QuaternionBase(ValueTypeT x, ValueTypeT y, ValueTypeT z, ValueTypeT w) : _quat{x, y, z, w} {}
    // Rotation of angle radians about axis.
    QuaternionBase(const VectorType& axis, ValueTypeT angle) : QuaternionBase()
    {
        setValueAsAxisRad(axis, angle);
    }
    // Rotation that turns from into to (see setValue).
    QuaternionBase(const VectorType& from, const VectorType& to) : QuaternionBase()
    {
        setValue(from, to);
    }
    explicit QuaternionBase(const MatrixType& matrix) : QuaternionBase() { setValue(matrix); }

    void setIdentity()
    {
        _quat[0] = _quat[1] = _quat[2] = ValueTypeT(0);
        _quat[3] = ValueTypeT(1);
    }

    // xyz = axis * (sin(angle/2) / |axis|), w = cos(angle/2), all in ValueTypeT. An axis not
    // longer than Eps gives the identity.
    void setValueAsAxisRad(ValueTypeT x, ValueTypeT y, ValueTypeT z, ValueTypeT angle)
    {
        ValueTypeT len = ValueTypeT(std::sqrt(x * x + y * y + z * z));
        if (len <= ValueTypeT(Eps)) {
            setIdentity();
            return;
        }
        ValueTypeT half = angle * ValueTypeT(0.5);
        ValueTypeT s = ValueTypeT(std::sin(half)) / len;
        _quat[0] = x * s;
        _quat[1] = y * s;
        _quat[2] = z * s;
        _quat[3] = ValueTypeT(std::cos(half));
    }
    void setValueAsAxisRad(const VectorType& axis, ValueTypeT angle)
    {
        setValueAsAxisRad(axis[0], axis[1], axis[2], angle);
    }
    void setValueAsAxisDeg(ValueTypeT x, ValueTypeT y, ValueTypeT z, ValueTypeT angle)
    {
        setValueAsAxisRad(x, y, z, deg2rad(angle));
    }
    void setValueAsQuat(ValueTypeT x, ValueTypeT y, ValueTypeT z, ValueTypeT w)
    {
        _quat[0] = x;
        _quat[1] = y;
        _quat[2] = z;
        _quat[3] = w;
    }
    void setValueAsQuat(const ValueTypeT* values)
    {
        setValueAsQuat(values[0], values[1], values[2], values[3]);
    }

    // The rotation turning from into to:
    //  - both copies are normalised (shorter than Eps: left as they are);
    //  - c = from . to in ValueTypeT;
    //  - c > 0.99999: identity;
    //  - c < -0.99999: a half turn (angle Pi, a float) about from x (1,0,0), or about
    //    from x (0,1,0) when the first is shorter than 0.00001, normalised;
    //  - otherwise axis = normalised cross product of the un-normalised inputs, times
    //    sqrt(0.5 (1 - c)), and w = sqrt(0.5 (1 + c)), both square roots taken in double.
    void setValue(const VectorType& rotateFrom, const VectorType& rotateTo)
    {
        VectorType from(rotateFrom);
        VectorType to(rotateTo);
        from.normalize();
        to.normalize();
        ValueTypeT cost = from.dot(to);
        if (cost > 0.99999) {
            setIdentity();
            return;
        }
        if (cost < -0.99999) {
            VectorType axis = from.cross(VectorType(ValueTypeT(1), ValueTypeT(0), ValueTypeT(0)));
            if (axis.length() < 0.00001)
                axis = from.cross(VectorType(ValueTypeT(0), ValueTypeT(1), ValueTypeT(0)));
            axis.normalize();
            setValueAsAxisRad(axis[0], axis[1], axis[2], ValueTypeT(Pi));
            return;
        }
        VectorType axis = rotateFrom.cross(rotateTo);
        axis.normalize();
        axis *= ValueTypeT(std::sqrt(0.5 * (1.0 - double(cost))));
        _quat[0] = axis[0];
        _quat[1] = axis[1];
        _quat[2] = axis[2];
        _quat[3] = ValueTypeT(std::sqrt(0.5 * (1.0 + double(cost))));
    }

    // From the rotation part of a matrix (assumed orthonormal), computed in double; w is
    // clamped to [-1, 1].
    void setValue(const MatrixType& m)
    {
        const double trace = double(m[0][0]) + double(m[1][1]) + double(m[2][2]);
        if (trace > 0.0) {
            double s = std::sqrt(trace + 1.0);
            _quat[3] = ValueTypeT(s * 0.5);
            s = 0.5 / s;
            _quat[0] = ValueTypeT((double(m[1][2]) - double(m[2][1])) * s);
            _quat[1] = ValueTypeT((double(m[2][0]) - double(m[0][2])) * s);
            _quat[2] = ValueTypeT((double(m[0][1]) - double(m[1][0])) * s);
        } else {
            // The largest diagonal element picks the component computed first.
            UInt32 i = (m[1][1] > m[0][0]) ? 1 : 0;
            if (m[2][2] > m[i][i])
                i = 2;
            const UInt32 j = (i + 1) % 3;
            const UInt32 k = (j + 1) % 3;
            double s = std::sqrt(double(m[i][i]) - (double(m[j][j]) + double(m[k][k])) + 1.0);
            double q[3];
            q[i] = s * 0.5;
            s = 0.5 / s;
            _quat[3] = ValueTypeT((double(m[j][k]) - double(m[k][j])) * s);
            q[j] = (double(m[i][j]) + double(m[j][i])) * s;
            q[k] = (double(m[i][k]) + double(m[k][i])) * s;
            _quat[0] = ValueTypeT(q[0]);
            _quat[1] = ValueTypeT(q[1]);
            _quat[2] = ValueTypeT(q[2]);
        }
        if (_quat[3] > ValueTypeT(1))
            _quat[3] = ValueTypeT(1);
        if (_quat[3] < ValueTypeT(-1))
            _quat[3] = ValueTypeT(-1);
    }

    // Axis (normalised) and angle in radians; the identity gives axis (0,0,1), angle 0.
    void getValueAsAxisRad(ValueTypeT& x, ValueTypeT& y, ValueTypeT& z, ValueTypeT& angle) const
    {
        ValueTypeT len =
            ValueTypeT(std::sqrt(_quat[0] * _quat[0] + _quat[1] * _quat[1] + _quat[2] * _quat[2]));
        if (len < ValueTypeT(Eps)) {
            x = ValueTypeT(0);
            y = ValueTypeT(0);
            z = ValueTypeT(1);
            angle = ValueTypeT(0);
            return;
        }
        ValueTypeT w = _quat[3];
        if (w > ValueTypeT(1))
            w = ValueTypeT(1);
        if (w < ValueTypeT(-1))
            w = ValueTypeT(-1);
        angle = ValueTypeT(2) * ValueTypeT(std::acos(w));
        x = _quat[0] / len;
        y = _quat[1] / len;
        z = _quat[2] / len;
    }
    void getValueAsAxisRad(VectorType& axis, ValueTypeT& angle) const
    {
        getValueAsAxisRad(axis[0], axis[1], axis[2], angle);
    }

    // The rotation part only, without normalising (column c, row r):
    // [0][0]=1-2(yy+zz) [0][1]=2(xy+zw) [0][2]=2(zx-yw)
    // [1][0]=2(xy-zw)   [1][1]=1-2(zz+xx) [1][2]=2(yz+xw)
    // [2][0]=2(zx+yw)   [2][1]=2(yz-xw)   [2][2]=1-2(yy+xx)
    void getValuesOnly(MatrixType& m) const
    {
        const ValueTypeT x = _quat[0], y = _quat[1], z = _quat[2], w = _quat[3];
        const ValueTypeT one = ValueTypeT(1), two = ValueTypeT(2);
        m[0][0] = one - two * (y * y + z * z);
        m[0][1] = two * (x * y + z * w);
        m[0][2] = two * (z * x - y * w);
        m[1][0] = two * (x * y - z * w);
        m[1][1] = one - two * (z * z + x * x);
        m[1][2] = two * (y * z + x * w);
        m[2][0] = two * (z * x + y * w);
        m[2][1] = two * (y * z - x * w);
        m[2][2] = one - two * (y * y + x * x);
    }
    // As getValuesOnly, and the rest of the matrix set to the identity's values.
    void getValue(MatrixType& m) const
    {
        getValuesOnly(m);
        m[0][3] = m[1][3] = m[2][3] = ValueTypeT(0);
        m[3][0] = m[3][1] = m[3][2] = ValueTypeT(0);
        m[3][3] = ValueTypeT(1);
    }

    const ValueTypeT* getValues() const { return _quat; }
    ValueTypeT x() const { return _quat[0]; }
    ValueTypeT y() const { return _quat[1]; }
    ValueTypeT z() const { return _quat[2]; }
    ValueTypeT w() const { return _quat[3]; }
    ValueTypeT& operator[](UInt32 i) { return _quat[i]; }
    const ValueTypeT& operator[](UInt32 i) const { return _quat[i]; }

    ValueTypeT length() const
    {
        return ValueTypeT(std::sqrt(_quat[0] * _quat[0] + _quat[1] * _quat[1] +
                                    _quat[2] * _quat[2] + _quat[3] * _quat[3]));
    }
    // Leaves a quaternion shorter than Eps unchanged.
    void normalize()
    {
        ValueTypeT len = length();
        if (len < ValueTypeT(Eps))
            return;
        ValueTypeT r = ValueTypeT(1) / len;
        for (UInt32 i = 0; i < 4; ++i)
            _quat[i] *= r;
    }
    // Conjugate: the inverse rotation of a unit quaternion.
    void invert()
    {
        _quat[0] = -_quat[0];
        _quat[1] = -_quat[1];
        _quat[2] = -_quat[2];
    }
    QuaternionBase inverse() const
    {
        QuaternionBase q(*this);
        q.invert();
        return q;
    }

    // this = this * other (other's rotation applied first), normalised.
    void mult(const QuaternionBase& other)
    {
        *this = product(*this, other);
        normalize();
    }
    // this = other * this, normalised.
    void multLeft(const QuaternionBase& other)
    {
        *this = product(other, *this);
        normalize();
    }
    QuaternionBase operator*(const QuaternionBase& other) const { return product(*this, other); }

    // Rotates src into dst.
    void multVec(const VectorType& src, VectorType& dst) const
    {
        QuaternionBase v(src[0], src[1], src[2], ValueTypeT(0));
        QuaternionBase r = product(product(*this, v), inverse());
        dst.setValues(r._quat[0], r._quat[1], r._quat[2]);
    }

    bool equals(const QuaternionBase& other, ValueTypeT tolerance) const
    {
        for (UInt32 i = 0; i < 4; ++i)
            if (std::abs(_quat[i] - other._quat[i]) > tolerance)
                return false;
        return true;
    }
    // Component-wise within Eps, as OpenSG compares rotations.
    bool operator==(const QuaternionBase& other) const { return equals(other, ValueTypeT(Eps)); }
    bool operator!=(const QuaternionBase& other) const { return !(*this == other); }

private:
    static QuaternionBase product(const QuaternionBase& a, const QuaternionBase& b)
    {
        const ValueTypeT* p = a._quat;
        const ValueTypeT* q = b._quat;
        return QuaternionBase(p[3] * q[0] + p[0] * q[3] + p[1] * q[2] - p[2] * q[1],
                              p[3] * q[1] + p[1] * q[3] + p[2] * q[0] - p[0] * q[2],
                              p[3] * q[2] + p[2] * q[3] + p[0] * q[1] - p[1] * q[0],
                              p[3] * q[3] - p[0] * q[0] - p[1] * q[1] - p[2] * q[2]);
    }

    ValueTypeT _quat[4];
};

template <class ValueTypeT>
std::ostream& operator<<(std::ostream& os, const QuaternionBase<ValueTypeT>& q)
{
    return os << q.x() << ", " << q.y() << ", " << q.z() << ", " << q.w();
}

typedef QuaternionBase<Real32> Quaternion;
typedef QuaternionBase<Real64> Quaterniond;

OSG_END_NAMESPACE

#include <OpenSG/OSGMatrix.h>
