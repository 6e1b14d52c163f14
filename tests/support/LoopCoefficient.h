#pragma once

#include <cmath>

// The loop low-pass coefficient, for expected values that the laws give only as formulas. The rate goes
// through a volatile so that the compiler cannot fold the maths into differently rounded constants.
inline float loopCoefficient (double sampleRate)
{
    const volatile float rate = (float) sampleRate;
    return 1.0f - std::exp (-28274.334f / rate);
}
