#pragma once

#include <OpenSG/OSGBaseTypes.h>

#include <ostream>

OSG_BEGIN_NAMESPACE

// RGB colour, zero-filled by default. No conversion to or from vectors: copy components.
template <class ValueTypeT> class Color3 {
public:
    typedef ValueTypeT ValueType;

    Color3() : _rgb{ValueTypeT(0), ValueTypeT(0), ValueTypeT(0)} {}
    Color3(ValueTypeT r, ValueTypeT g, ValueTypeT b) : _rgb{r, g, b} {}

    void clear() { setValuesRGB(ValueTypeT(0), ValueTypeT(0), ValueTypeT(0)); }
    void setValuesRGB(ValueTypeT r, ValueTypeT g, ValueTypeT b)
    {
        _rgb[0] = r;
        _rgb[1] = g;
        _rgb[2] = b;
    }
    void getValuesRGB(ValueTypeT& r, ValueTypeT& g, ValueTypeT& b) const
    {
        r = _rgb[0];
        g = _rgb[1];
        b = _rgb[2];
    }
    ValueTypeT red() const { return _rgb[0]; }
    ValueTypeT green() const { return _rgb[1]; }
    ValueTypeT blue() const { return _rgb[2]; }
    ValueTypeT* getValuesRGB() { return _rgb; }
    const ValueTypeT* getValuesRGB() const { return _rgb; }
    ValueTypeT& operator[](UInt32 i) { return _rgb[i]; }
    const ValueTypeT& operator[](UInt32 i) const { return _rgb[i]; }

    bool equals(const Color3& other, ValueTypeT tolerance) const
    {
        for (UInt32 i = 0; i < 3; ++i)
            if (_rgb[i] - other._rgb[i] > tolerance || other._rgb[i] - _rgb[i] > tolerance)
                return false;
        return true;
    }
    bool operator==(const Color3& o) const
    {
        return _rgb[0] == o._rgb[0] && _rgb[1] == o._rgb[1] && _rgb[2] == o._rgb[2];
    }
    bool operator!=(const Color3& o) const { return !(*this == o); }

    Color3 operator*(ValueTypeT s) const { return Color3(_rgb[0] * s, _rgb[1] * s, _rgb[2] * s); }
    Color3 operator/(ValueTypeT s) const { return Color3(_rgb[0] / s, _rgb[1] / s, _rgb[2] / s); }
    Color3 operator+(ValueTypeT s) const { return Color3(_rgb[0] + s, _rgb[1] + s, _rgb[2] + s); }
    Color3 operator-(ValueTypeT s) const { return Color3(_rgb[0] - s, _rgb[1] - s, _rgb[2] - s); }
    Color3 operator*(const Color3& o) const
    {
        return Color3(_rgb[0] * o._rgb[0], _rgb[1] * o._rgb[1], _rgb[2] * o._rgb[2]);
    }
    Color3 operator/(const Color3& o) const
    {
        return Color3(_rgb[0] / o._rgb[0], _rgb[1] / o._rgb[1], _rgb[2] / o._rgb[2]);
    }
    Color3 operator+(const Color3& o) const
    {
        return Color3(_rgb[0] + o._rgb[0], _rgb[1] + o._rgb[1], _rgb[2] + o._rgb[2]);
    }
    Color3 operator-(const Color3& o) const
    {
        return Color3(_rgb[0] - o._rgb[0], _rgb[1] - o._rgb[1], _rgb[2] - o._rgb[2]);
    }
    Color3& operator*=(ValueTypeT s) { return *this = *this * s; }
    Color3& operator/=(ValueTypeT s) { return *this = *this / s; }
    Color3& operator+=(const Color3& o) { return *this = *this + o; }
    Color3& operator-=(const Color3& o) { return *this = *this - o; }

private:
    ValueTypeT _rgb[3];
};

// RGBA colour, zero-filled by default (alpha too).
template <class ValueTypeT> class Color4 {
public:
    typedef ValueTypeT ValueType;

    Color4() : _rgba{ValueTypeT(0), ValueTypeT(0), ValueTypeT(0), ValueTypeT(0)} {}
    Color4(ValueTypeT r, ValueTypeT g, ValueTypeT b, ValueTypeT a) : _rgba{r, g, b, a} {}

    void clear() { setValuesRGBA(ValueTypeT(0), ValueTypeT(0), ValueTypeT(0), ValueTypeT(0)); }
    void setValuesRGBA(ValueTypeT r, ValueTypeT g, ValueTypeT b, ValueTypeT a)
    {
        _rgba[0] = r;
        _rgba[1] = g;
        _rgba[2] = b;
        _rgba[3] = a;
    }
    void getValuesRGBA(ValueTypeT& r, ValueTypeT& g, ValueTypeT& b, ValueTypeT& a) const
    {
        r = _rgba[0];
        g = _rgba[1];
        b = _rgba[2];
        a = _rgba[3];
    }
    ValueTypeT red() const { return _rgba[0]; }
    ValueTypeT green() const { return _rgba[1]; }
    ValueTypeT blue() const { return _rgba[2]; }
    ValueTypeT alpha() const { return _rgba[3]; }
    ValueTypeT* getValuesRGBA() { return _rgba; }
    const ValueTypeT* getValuesRGBA() const { return _rgba; }
    ValueTypeT& operator[](UInt32 i) { return _rgba[i]; }
    const ValueTypeT& operator[](UInt32 i) const { return _rgba[i]; }

    bool equals(const Color4& other, ValueTypeT tolerance) const
    {
        for (UInt32 i = 0; i < 4; ++i)
            if (_rgba[i] - other._rgba[i] > tolerance || other._rgba[i] - _rgba[i] > tolerance)
                return false;
        return true;
    }
    bool operator==(const Color4& o) const
    {
        return _rgba[0] == o._rgba[0] && _rgba[1] == o._rgba[1] && _rgba[2] == o._rgba[2] &&
               _rgba[3] == o._rgba[3];
    }
    bool operator!=(const Color4& o) const { return !(*this == o); }

    Color4 operator*(ValueTypeT s) const
    {
        return Color4(_rgba[0] * s, _rgba[1] * s, _rgba[2] * s, _rgba[3] * s);
    }
    Color4 operator/(ValueTypeT s) const
    {
        return Color4(_rgba[0] / s, _rgba[1] / s, _rgba[2] / s, _rgba[3] / s);
    }
    Color4 operator+(ValueTypeT s) const
    {
        return Color4(_rgba[0] + s, _rgba[1] + s, _rgba[2] + s, _rgba[3] + s);
    }
    Color4 operator-(ValueTypeT s) const
    {
        return Color4(_rgba[0] - s, _rgba[1] - s, _rgba[2] - s, _rgba[3] - s);
    }
    Color4 operator*(const Color4& o) const
    {
        return Color4(_rgba[0] * o._rgba[0], _rgba[1] * o._rgba[1], _rgba[2] * o._rgba[2],
                      _rgba[3] * o._rgba[3]);
    }
    Color4 operator/(const Color4& o) const
    {
        return Color4(_rgba[0] / o._rgba[0], _rgba[1] / o._rgba[1], _rgba[2] / o._rgba[2],
                      _rgba[3] / o._rgba[3]);
    }
    Color4 operator+(const Color4& o) const
    {
        return Color4(_rgba[0] + o._rgba[0], _rgba[1] + o._rgba[1], _rgba[2] + o._rgba[2],
                      _rgba[3] + o._rgba[3]);
    }
    Color4 operator-(const Color4& o) const
    {
        return Color4(_rgba[0] - o._rgba[0], _rgba[1] - o._rgba[1], _rgba[2] - o._rgba[2],
                      _rgba[3] - o._rgba[3]);
    }
    Color4& operator*=(ValueTypeT s) { return *this = *this * s; }
    Color4& operator/=(ValueTypeT s) { return *this = *this / s; }
    Color4& operator+=(const Color4& o) { return *this = *this + o; }
    Color4& operator-=(const Color4& o) { return *this = *this - o; }

private:
    ValueTypeT _rgba[4];
};

template <class T> std::ostream& operator<<(std::ostream& os, const Color3<T>& c)
{
    return os << c.red() << ", " << c.green() << ", " << c.blue();
}
template <class T> std::ostream& operator<<(std::ostream& os, const Color4<T>& c)
{
    return os << c.red() << ", " << c.green() << ", " << c.blue() << ", " << c.alpha();
}

typedef Color3<Real32> Color3f;
typedef Color4<Real32> Color4f;
typedef Color3<UInt8> Color3ub;
typedef Color4<UInt8> Color4ub;

OSG_END_NAMESPACE
