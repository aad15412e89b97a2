#pragma once

#include <OpenSG/OSGBaseTypes.h>

#include <cmath>
#include <ostream>

OSG_BEGIN_NAMESPACE

template <class ValueTypeT, UInt32 SizeI> class Vector;

// A point of SizeI components; zero-filled by default. Points and vectors of another size
// convert explicitly: the common components are copied, the rest zero-filled.
template <class ValueTypeT, UInt32 SizeI> class Point {
public:
    typedef ValueTypeT ValueType;
    typedef Vector<ValueTypeT, SizeI> VectorType;
    static constexpr UInt32 _iSize = SizeI;

    Point()
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            _values[i] = ValueTypeT(0);
    }
    // SizeI values in component order.
    explicit Point(const ValueTypeT* values)
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            _values[i] = values[i];
    }
    Point(ValueTypeT x, ValueTypeT y) : Point() { setValues(x, y); }
    Point(ValueTypeT x, ValueTypeT y, ValueTypeT z) : Point() { setValues(x, y, z); }
    Point(ValueTypeT x, ValueTypeT y, ValueTypeT z, ValueTypeT w) : Point()
    {
        setValues(x, y, z, w);
    }
    template <class OtherT, UInt32 OtherI>
    explicit Point(const Point<OtherT, OtherI>& other) : Point()
    {
        for (UInt32 i = 0; i < SizeI && i < OtherI; ++i)
            _values[i] = ValueTypeT(other[i]);
    }

    ValueTypeT& operator[](UInt32 i) { return _values[i]; }
    const ValueTypeT& operator[](UInt32 i) const { return _values[i]; }
    ValueTypeT x() const { return _values[0]; }
    ValueTypeT y() const
    {
        static_assert(SizeI >= 2, "no y component");
        return _values[1];
    }
    ValueTypeT z() const
    {
        static_assert(SizeI >= 3, "no z component");
        return _values[2];
    }
    ValueTypeT w() const
    {
        static_assert(SizeI >= 4, "no w component");
        return _values[3];
    }
    ValueTypeT* getValues() { return _values; }
    const ValueTypeT* getValues() const { return _values; }

    void setValues(ValueTypeT x, ValueTypeT y)
    {
        static_assert(SizeI >= 2, "too many components");
        _values[0] = x;
        _values[1] = y;
    }
    void setValues(ValueTypeT x, ValueTypeT y, ValueTypeT z)
    {
        static_assert(SizeI >= 3, "too many components");
        _values[0] = x;
        _values[1] = y;
        _values[2] = z;
    }
    void setValues(ValueTypeT x, ValueTypeT y, ValueTypeT z, ValueTypeT w)
    {
        static_assert(SizeI >= 4, "too many components");
        _values[0] = x;
        _values[1] = y;
        _values[2] = z;
        _values[3] = w;
    }
    // Copies the common components and leaves the others as they are.
    template <class OtherT, UInt32 OtherI> void setValue(const Point<OtherT, OtherI>& other)
    {
        for (UInt32 i = 0; i < SizeI && i < OtherI; ++i)
            _values[i] = ValueTypeT(other[i]);
    }
    void setNull()
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            _values[i] = ValueTypeT(0);
    }

    bool isZero() const
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            if (_values[i] != ValueTypeT(0))
                return false;
        return true;
    }
    // Every component within tolerance.
    bool equals(const Point& other, ValueTypeT tolerance) const
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            if (std::abs(_values[i] - other._values[i]) > tolerance)
                return false;
        return true;
    }
    bool operator==(const Point& other) const
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            if (!(_values[i] == other._values[i]))
                return false;
        return true;
    }
    bool operator!=(const Point& other) const { return !(*this == other); }

    VectorType operator-(const Point& other) const
    {
        VectorType result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = _values[i] - other._values[i];
        return result;
    }
    Point operator+(const VectorType& v) const
    {
        Point result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = _values[i] + v[i];
        return result;
    }
    Point operator-(const VectorType& v) const
    {
        Point result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = _values[i] - v[i];
        return result;
    }
    Point operator*(ValueTypeT s) const
    {
        Point result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = _values[i] * s;
        return result;
    }
    Point operator-() const
    {
        Point result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = -_values[i];
        return result;
    }
    Point& operator+=(const VectorType& v)
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            _values[i] += v[i];
        return *this;
    }
    Point& operator-=(const VectorType& v)
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            _values[i] -= v[i];
        return *this;
    }

    // The vector from the origin to this point.
    VectorType subZero() const { return VectorType(_values); }
    ValueTypeT dist2(const Point& other) const { return (*this - other).squareLength(); }
    ValueTypeT dist(const Point& other) const { return (*this - other).length(); }

protected:
    ValueTypeT _values[SizeI];
};

// A direction or offset. normalize() leaves a vector shorter than Eps as it is.
template <class ValueTypeT, UInt32 SizeI> class Vector : public Point<ValueTypeT, SizeI> {
    typedef Point<ValueTypeT, SizeI> Inherited;

public:
    typedef Point<ValueTypeT, SizeI> PointType;

    Vector() = default;
    explicit Vector(const ValueTypeT* values) : Inherited(values) {}
    Vector(ValueTypeT x, ValueTypeT y) : Inherited(x, y) {}
    Vector(ValueTypeT x, ValueTypeT y, ValueTypeT z) : Inherited(x, y, z) {}
    Vector(ValueTypeT x, ValueTypeT y, ValueTypeT z, ValueTypeT w) : Inherited(x, y, z, w) {}
    template <class OtherT, UInt32 OtherI>
    explicit Vector(const Point<OtherT, OtherI>& other) : Inherited(other)
    {
    }

    // Sum of squares, accumulated from the first component on.
    ValueTypeT squareLength() const
    {
        ValueTypeT sum = this->_values[0] * this->_values[0];
        for (UInt32 i = 1; i < SizeI; ++i)
            sum += this->_values[i] * this->_values[i];
        return sum;
    }
    ValueTypeT length() const { return ValueTypeT(std::sqrt(squareLength())); }
    // Multiplies by 1/length; a vector shorter than Eps stays unchanged.
    void normalize()
    {
        ValueTypeT len = length();
        if (std::abs(len) < ValueTypeT(Eps))
            return;
        ValueTypeT rLength = ValueTypeT(1) / len;
        for (UInt32 i = 0; i < SizeI; ++i)
            this->_values[i] *= rLength;
    }
    ValueTypeT dot(const Vector& other) const
    {
        ValueTypeT sum = this->_values[0] * other._values[0];
        for (UInt32 i = 1; i < SizeI; ++i)
            sum += this->_values[i] * other._values[i];
        return sum;
    }
    ValueTypeT operator*(const Vector& other) const { return dot(other); }
    Vector cross(const Vector& other) const
    {
        static_assert(SizeI == 3, "cross product needs three components");
        const ValueTypeT* a = this->_values;
        const ValueTypeT* b = other._values;
        return Vector(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                      a[0] * b[1] - a[1] * b[0]);
    }
    Vector operator%(const Vector& other) const { return cross(other); }
    void crossThis(const Vector& other) { *this = cross(other); }
    // Angle to the other vector in radians (acos of the normalised dot product).
    ValueTypeT enclosedAngle(const Vector& other) const
    {
        ValueTypeT lengths = length() * other.length();
        if (lengths < ValueTypeT(Eps))
            return ValueTypeT(0);
        ValueTypeT c = dot(other) / lengths;
        if (c > ValueTypeT(1))
            c = ValueTypeT(1);
        if (c < ValueTypeT(-1))
            c = ValueTypeT(-1);
        return ValueTypeT(std::acos(c));
    }

    Vector operator+(const Vector& other) const
    {
        Vector result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = this->_values[i] + other._values[i];
        return result;
    }
    Vector operator-(const Vector& other) const
    {
        Vector result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = this->_values[i] - other._values[i];
        return result;
    }
    Vector operator*(ValueTypeT s) const
    {
        Vector result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = this->_values[i] * s;
        return result;
    }
    Vector operator-() const
    {
        Vector result;
        for (UInt32 i = 0; i < SizeI; ++i)
            result[i] = -this->_values[i];
        return result;
    }
    Vector& operator+=(const Vector& other)
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            this->_values[i] += other._values[i];
        return *this;
    }
    Vector& operator-=(const Vector& other)
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            this->_values[i] -= other._values[i];
        return *this;
    }
    Vector& operator*=(ValueTypeT s)
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            this->_values[i] *= s;
        return *this;
    }
    Vector& operator/=(ValueTypeT s)
    {
        for (UInt32 i = 0; i < SizeI; ++i)
            this->_values[i] /= s;
        return *this;
    }

    // The point this vector reaches from the origin.
    PointType addToZero() const { return PointType(this->_values); }
};

template <class ValueTypeT, UInt32 SizeI>
inline Vector<ValueTypeT, SizeI> operator*(ValueTypeT s, const Vector<ValueTypeT, SizeI>& v)
{
    return v * s;
}

template <class ValueTypeT, UInt32 SizeI>
std::ostream& operator<<(std::ostream& os, const Point<ValueTypeT, SizeI>& p)
{
    for (UInt32 i = 0; i < SizeI; ++i)
        os << (i ? ", " : "") << p[i];
    return os;
}

typedef Vector<Real32, 2> Vec2f;
typedef Vector<Real32, 3> Vec3f;
typedef Vector<Real32, 4> Vec4f;
typedef Vector<Real64, 2> Vec2d;
typedef Vector<Real64, 3> Vec3d;
typedef Vector<Real64, 4> Vec4d;
typedef Vector<UInt16, 2> Vec2us;
typedef Vector<Int32, 2> Vec2i;
typedef Vector<Int32, 3> Vec3i;
typedef Point<Real32, 2> Pnt2f;
typedef Point<Real32, 3> Pnt3f;
typedef Point<Real32, 4> Pnt4f;
typedef Point<Real64, 3> Pnt3d;

OSG_END_NAMESPACE
