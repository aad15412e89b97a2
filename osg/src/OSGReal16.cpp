#include <OpenSG/OSGReal16.h>

#include <Imath/half.h>

#include <cstring>

OSG_BEGIN_NAMESPACE

namespace {
// Half exponent bits (already shifted, with the sign) for every float sign+exponent byte
// pair whose value is a normal half; 0 sends the value down the slow path.
struct ExponentTable {
    unsigned short e[512];
    ExponentTable()
    {
        for (int i = 0; i < 256; ++i) {
            int exponent = i - (127 - 15);
            if (exponent <= 0 || exponent >= 30) {
                e[i] = 0;
                e[i | 0x100] = 0;
            } else {
                e[i] = static_cast<unsigned short>(exponent << 10);
                e[i | 0x100] = static_cast<unsigned short>((exponent << 10) | 0x8000);
            }
        }
    }
};

const ExponentTable exponentTable;

// Zeros, subnormals, overflow, infinities and NaNs. Rounding adds half a unit of the last
// place, so exact ties go up in magnitude; anything too small for a subnormal becomes +0
// whatever its sign.
unsigned short convertSlow(std::uint32_t i)
{
    std::uint32_t s = (i >> 16) & 0x00008000u;
    int e = int((i >> 23) & 0x000000ffu) - (127 - 15);
    std::uint32_t m = i & 0x007fffffu;

    if (e <= 0) {
        if (e < -10)
            return 0;
        m = (m | 0x00800000u) >> (1 - e);
        if (m & 0x00001000u)
            m += 0x00002000u;
        return static_cast<unsigned short>(s | (m >> 13));
    }
    if (e == 0xff - (127 - 15)) {
        if (m == 0)
            return static_cast<unsigned short>(s | 0x7c00u);
        // NaN: keep the top mantissa bits, and at least one of them.
        m >>= 13;
        return static_cast<unsigned short>(s | 0x7c00u | m | (m == 0 ? 1u : 0u));
    }
    if (m & 0x00001000u) {
        m += 0x00002000u;
        if (m & 0x00800000u) {
            m = 0;
            e += 1;
        }
    }
    if (e > 30)
        return static_cast<unsigned short>(s | 0x7c00u);
    return static_cast<unsigned short>(s | (std::uint32_t(e) << 10) | (m >> 13));
}
} // namespace

// OpenSG's encoding, not Imath's: Imath rounds exact ties to even and keeps the sign of
// zero, OpenSG rounds ties up in magnitude and writes every zero as +0. Image fixtures
// encoded here therefore carry OpenSG's bits.
Real16::Real16(float f)
{
    if (f == 0.0f) {
        _h = 0;
        return;
    }
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    unsigned short e = exponentTable.e[bits >> 23];
    if (e != 0) {
        std::uint32_t m = bits & 0x007fffffu;
        // Carry out of the mantissa lands in the exponent, which stays below infinity
        // because the table sends exponent 30 to the slow path.
        _h = static_cast<unsigned short>(e + ((m + 0x00001000u) >> 13));
    } else {
        _h = convertSlow(bits);
    }
}

// Decoding is bit-identical to IEEE binary16, so Imath's half does it.
Real16::operator float() const
{
    Imath::half h;
    h.setBits(_h);
    return float(h);
}

OSG_END_NAMESPACE
