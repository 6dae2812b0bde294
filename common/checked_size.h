// Sizes that come from a file (widths, lengths, samples, bits, strip counts and byte counts)
// are combined only through these: each gives false, and leaves `out` as it was, when the exact
// result does not fit in 64 bits, so a hostile header can never wrap a buffer size into a small
// one.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tnw {

inline bool checkedAdd(std::uint64_t a, std::uint64_t b, std::uint64_t& out)
{
    std::uint64_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

inline bool checkedMul(std::uint64_t a, std::uint64_t b, std::uint64_t& out)
{
    std::uint64_t r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

// The product of every factor.
inline bool checkedProduct(std::initializer_list<std::uint64_t> factors, std::uint64_t& out)
{
    std::uint64_t r = 1;
    for (const std::uint64_t f : factors) {
        if (__builtin_mul_overflow(r, f, &r))
            return false;
    }
    out = r;
    return true;
}

// Bytes of one row of `width` pixels of `samples` samples of `bits` bits, rounded up to a byte.
inline bool checkedRowBytes(std::uint64_t width, std::uint64_t bits, std::uint64_t samples,
                            std::uint64_t& out)
{
    std::uint64_t rowBits = 0;
    if (!checkedProduct({width, bits, samples}, rowBits) || !checkedAdd(rowBits, 7, rowBits))
        return false;
    out = rowBits / 8;
    return true;
}

}  // namespace tnw
