#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant is a crash for libFuzzer, which then keeps the input that caused it.
#define VELDRANOX_FUZZ_REQUIRE(condition)                                                                              \
    do                                                                                                                 \
    {                                                                                                                  \
        if (! (condition))                                                                                             \
        {                                                                                                              \
            std::fprintf (stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                   \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
