#pragma once

#include <cmath>

// What the plug-in must report to its host at any sample rate: a 3 ms lookahead and a 6 s tail.
inline int expectedLatencySamples (double sampleRate)
{
    return static_cast<int> (std::round (static_cast<float> (sampleRate) * 0.003f));
}

inline constexpr double expectedTailSeconds = 6.0;
