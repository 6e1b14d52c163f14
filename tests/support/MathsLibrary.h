#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#if defined(__GLIBC__)
#include <gnu/libc-version.h>
#elif defined(__MINGW32__)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

// The engine's output bits come from the C library's float functions, and C libraries differ in the last
// place of some of them (glibc 2.41 made tanhf, log10f and expm1f correctly rounded, for one). Expectations
// that hold only for one library's roundings are recorded per library and keyed on this fingerprint: the
// bits those functions return over a fixed spread of arguments, so a library that rounds any of them
// differently is a different key, whatever its version says.
namespace MathsLibrary
{
namespace detail
{
inline void mix (std::uint64_t& hash, float value) noexcept
{
    std::uint32_t bits;
    std::memcpy (&bits, &value, sizeof bits);

    for (int byte = 0; byte < 4; ++byte)
    {
        hash ^= (bits >> (8 * byte)) & 0xffu;
        hash *= 0x100000001b3ull;
    }
}

// Arguments spread evenly in [low, high), the float nearest each.
template <typename Function>
void sweep (std::uint64_t& hash, float low, float high, Function&& f)
{
    constexpr int points = 1 << 16;

    for (int i = 0; i < points; ++i)
        mix (hash, f (low + (high - low) * (float) i / (float) points));
}
} // namespace detail

// FNV-1a over the results of every float function the engine calls, over the ranges it calls them on.
inline std::uint64_t fingerprint()
{
    using namespace detail;
    std::uint64_t hash = 0xcbf29ce484222325ull;

    sweep (hash, -8.0f, 8.0f, [] (float x) { return std::tanh (x); });
    sweep (hash, -40.0f, 40.0f, [] (float x) { return std::sin (x); });
    sweep (hash, -40.0f, 40.0f, [] (float x) { return std::cos (x); });
    sweep (hash, 0.0f, 1.5f, [] (float x) { return std::tan (x); });
    sweep (hash, 1.0e-6f, 4.0f, [] (float x) { return std::log10 (x); });
    sweep (hash, -20.0f, 5.0f, [] (float x) { return std::exp (x); });
    sweep (hash, -20.0f, 5.0f, [] (float x) { return std::expm1 (x); });
    sweep (hash, -6.0f, 6.0f, [] (float x) { return std::pow (10.0f, x); });
    sweep (hash, 0.0f, 24.0f, [] (float x) { return std::pow (2.0f, x); });
    sweep (hash, 0.0f, 1.0f, [] (float x) { return std::pow (x, 1.5f); });
    sweep (hash, 0.0f, 1.0f, [] (float x) { return std::pow (0.16f, x); });

    return hash;
}

// What the library calls itself, for messages.
inline std::string name()
{
#if defined(__GLIBC__)
    return std::string ("glibc ") + gnu_get_libc_version();
#elif defined(__MINGW32__)
    // MinGW-w64's own library computes some of these functions (sinf as (float) sin, for one); others, tanh
    // and log10 among them, it takes from the msvcrt.dll the program runs with: Windows's, or Wine's own.
    std::string runtime = "Windows's msvcrt.dll";

    if (const auto ntdll = GetModuleHandleA ("ntdll.dll"))
        if (const auto wineVersion = reinterpret_cast<const char* (*) ()> (
                reinterpret_cast<void*> (GetProcAddress (ntdll, "wine_get_version"))))
            runtime = std::string ("Wine ") + wineVersion() + "'s msvcrt.dll";

    return "MinGW-w64 " __MINGW64_VERSION_STR " with " + runtime;
#else
    return "an unknown C library";
#endif
}
} // namespace MathsLibrary
