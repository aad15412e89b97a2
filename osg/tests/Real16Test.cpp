#include <OpenSG/OSGReal16.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

OSG_USING_NAMESPACE

namespace {
// Independent reference decoder: IEEE 754 binary16 by its definition.
float referenceDecode(std::uint16_t bits)
{
    const int exponent = (bits >> 10) & 0x1f;
    const int mantissa = bits & 0x3ff;
    double magnitude = std::ldexp(1.0 + mantissa / 1024.0, exponent - 15);
    if (exponent == 0)
        magnitude = std::ldexp(double(mantissa), -24);
    else if (exponent == 31)
        magnitude = mantissa == 0 ? INFINITY : NAN;
    return float(bits & 0x8000 ? -magnitude : magnitude);
}

std::uint32_t floatBits(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

TEST(Real16Test, DecodesEveryBitPatternExactly)
{
    for (std::uint32_t bits = 0; bits <= 0xffff; ++bits) {
        Real16 h;
        h.setBits(std::uint16_t(bits));
        const float expected = referenceDecode(std::uint16_t(bits));
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(float(h))) << std::hex << bits;
        else
            ASSERT_EQ(floatBits(float(h)), floatBits(expected)) << "pattern 0x" << std::hex << bits;
    }
}

// Every finite half survives a round trip, and every midpoint between neighbours rounds up
// in magnitude while its float neighbours round to the nearer half.
TEST(Real16Test, EncodingRoundsToNearestWithTiesAwayFromZero)
{
    for (std::uint16_t h = 0; h < 0x7c00; ++h) {
        const float value = referenceDecode(h);
        ASSERT_EQ(Real16(value).bits(), h) << "round trip of 0x" << std::hex << h;
        const std::uint16_t negative = h == 0 ? 0 : (h | 0x8000); // results of zero lose the sign
        ASSERT_EQ(Real16(-value).bits(), negative) << "round trip of -0x" << std::hex << h;

        const float next = referenceDecode(std::uint16_t(h + 1)); // infinity after the largest
        const float mid = h + 1 == 0x7c00 ? 65520.f : (value + next) / 2.f;
        const float below = std::nextafter(mid, 0.f);
        const std::uint16_t up = std::uint16_t(h + 1);
        ASSERT_EQ(Real16(mid).bits(), up) << "tie after 0x" << std::hex << h;
        ASSERT_EQ(Real16(below).bits(), h) << "below the tie after 0x" << std::hex << h;
        ASSERT_EQ(Real16(std::nextafter(mid, INFINITY)).bits(), up) << std::hex << h;
        ASSERT_EQ(Real16(-mid).bits(), up | 0x8000) << "negative tie after 0x" << std::hex << h;
        ASSERT_EQ(Real16(-below).bits(), negative) << std::hex << h;
    }
    const std::pair<float, std::uint16_t> beyond[] = {{-0.0f, 0x0000},    {-1e-10f, 0x0000},
                                                      {1e9f, 0x7c00},     {-1e9f, 0xfc00},
                                                      {INFINITY, 0x7c00}, {-INFINITY, 0xfc00}};
    for (const auto& [input, expected] : beyond)
        EXPECT_EQ(Real16(input).bits(), expected) << input;
    EXPECT_TRUE(Real16(NAN).isNan());
}
} // namespace
