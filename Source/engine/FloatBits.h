#pragma once

#include <cstdint>
#include <cstring>

// Bit-for-bit float comparison: unlike ==, it tells -0 from +0 and matches a NaN with itself, so a value
// found equal this way gives the same result in any computation.
inline std::uint32_t floatBits (float x) noexcept
{
    std::uint32_t bits;
    std::memcpy (&bits, &x, sizeof bits);
    return bits;
}

inline bool sameBits (float a, float b) noexcept { return floatBits (a) == floatBits (b); }
