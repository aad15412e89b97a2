#pragma once

#include <OpenSG/OSGBaseTypes.h>

OSG_BEGIN_NAMESPACE

// A 16-bit half-precision float (IEEE 754 binary16 layout), two bytes, so image data of
// type OSG_FLOAT16_IMAGEDATA can be read by reinterpreting it as Real16*.
//
// Decoding (operator float) gives exactly the IEEE value, as Imath's half does.
// Encoding (Real16(float)) rounds as OpenSG does, which differs from Imath in two places:
// an exact tie between two halves rounds up in magnitude (Imath: to even), and +0, -0 and
// negative values that underflow all become +0 (0x0000; Imath keeps the sign).
class Real16 {
public:
    // Zero (OpenSG leaves the bits undefined).
    Real16() : _h(0) {}
    Real16(float f);

    operator float() const;

    Real16 operator-() const { return fromBits(static_cast<unsigned short>(_h ^ 0x8000)); }
    Real16& operator=(float f) { return *this = Real16(f); }
    Real16& operator+=(float f) { return *this = Real16(float(*this) + f); }
    Real16& operator-=(float f) { return *this = Real16(float(*this) - f); }
    Real16& operator*=(float f) { return *this = Real16(float(*this) * f); }
    Real16& operator/=(float f) { return *this = Real16(float(*this) / f); }

    bool isFinite() const { return ((_h >> 10) & 0x1f) < 31; }
    bool isNormalized() const
    {
        unsigned short e = (_h >> 10) & 0x1f;
        return e > 0 && e < 31;
    }
    bool isDenormalized() const { return ((_h >> 10) & 0x1f) == 0 && (_h & 0x3ff) != 0; }
    bool isZero() const { return (_h & 0x7fff) == 0; }
    bool isNan() const { return ((_h >> 10) & 0x1f) == 31 && (_h & 0x3ff) != 0; }
    bool isInfinity() const { return (_h & 0x7fff) == 0x7c00; }
    bool isNegative() const { return (_h & 0x8000) != 0; }

    static Real16 posInf() { return fromBits(0x7c00); }
    static Real16 negInf() { return fromBits(0xfc00); }
    static Real16 qNan() { return fromBits(0x7fff); }
    static Real16 sNan() { return fromBits(0x7dff); }

    unsigned short bits() const { return _h; }
    void setBits(unsigned short bits) { _h = bits; }

private:
    static Real16 fromBits(unsigned short bits)
    {
        Real16 h;
        h._h = bits;
        return h;
    }

    unsigned short _h;
};

static_assert(sizeof(Real16) == 2, "Real16 must overlay two bytes of image data");

OSG_END_NAMESPACE
