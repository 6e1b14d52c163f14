#pragma once

#include <cstdio>
#include <cstdlib>
#include <juce_events/juce_events.h>

// The parameter tree starts a timer and posts to the message thread; JUCE needs its message
// machinery up before the first processor is made. It lives for the whole fuzzing process.
inline void startJuceForFuzzing()
{
    static juce::ScopedJuceInitialiser_GUI* juce = new juce::ScopedJuceInitialiser_GUI();
    (void) juce;
}

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
