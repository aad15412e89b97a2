#pragma once

#include <OpenSG/OSGConfig.h>

#include <cstdint>

OSG_BEGIN_NAMESPACE

typedef char Char8;
typedef std::int8_t Int8;
typedef std::uint8_t UInt8;
typedef std::int16_t Int16;
typedef std::uint16_t UInt16;
typedef std::int32_t Int32;
typedef std::uint32_t UInt32;
typedef std::int64_t Int64;
typedef std::uint64_t UInt64;
typedef float Real32;
typedef double Real64;
typedef Real64 Time;
// One bit per field of a container.
typedef UInt64 BitVector;

// Length below which vectors and axes count as zero.
constexpr Real32 Eps = 1e-6f;
// A float, so 3.1415927: half turns built from it are not exact.
constexpr Real32 Pi = 3.141592653589793f;

OSG_END_NAMESPACE
