#pragma once

#include <limits>

namespace Morvek {

// One machine word of flag bits. Field masks are BitVector<unsigned long long>: the mask of the
// field with index i has only bit i set (see bit()). Every operation is constexpr so that mask
// constants are constant-initialised and valid before any start-up code of a pool runs.
template <class T> class BitVector {
public:
    constexpr BitVector() : _bits(0) {}
    constexpr BitVector(T bits) : _bits(bits) {}

    // The mask with only bit `index` set; 0 for an index outside the word.
    static constexpr BitVector bit(unsigned index)
    {
        return index < unsigned(std::numeric_limits<T>::digits) ? BitVector(T(T(1) << index))
                                                                : BitVector();
    }
    static constexpr BitVector all() { return BitVector(T(~T(0))); }

    constexpr T value() const { return _bits; }
    constexpr bool any() const { return _bits != 0; }
    constexpr bool none() const { return _bits == 0; }
    constexpr bool test(unsigned index) const { return (*this & bit(index)).any(); }

    constexpr BitVector operator&(BitVector other) const
    {
        return BitVector(T(_bits & other._bits));
    }
    constexpr BitVector operator|(BitVector other) const
    {
        return BitVector(T(_bits | other._bits));
    }
    constexpr BitVector operator^(BitVector other) const
    {
        return BitVector(T(_bits ^ other._bits));
    }
    constexpr BitVector operator~() const { return BitVector(T(~_bits)); }
    constexpr BitVector& operator&=(BitVector other)
    {
        _bits &= other._bits;
        return *this;
    }
    constexpr BitVector& operator|=(BitVector other)
    {
        _bits |= other._bits;
        return *this;
    }
    constexpr BitVector& operator^=(BitVector other)
    {
        _bits ^= other._bits;
        return *this;
    }
    constexpr bool operator==(BitVector other) const { return _bits == other._bits; }
    constexpr bool operator!=(BitVector other) const { return _bits != other._bits; }

private:
    T _bits;
};

// The mask type of node fields.
using FieldMask = BitVector<unsigned long long>;

} // namespace Morvek
