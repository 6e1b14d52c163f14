#pragma once

#include <cmath>
#include <functional>
#include <juce_core/juce_core.h>

// Measurements of a process's response, shared by the tests of the engine's stages and of the processor.
namespace SignalMeasures
{
// Steady-state gain of a linear single-channel process for a sine at frequency hz: the ratio of output
// to input RMS over whole periods after a settling time.
inline double sineGain (const std::function<float (float)>& process, double hz, double sampleRate)
{
    const int settle = (int) (sampleRate * 0.5);
    const int periods = juce::jmax (20, (int) (hz * 0.5));
    const int measured = (int) std::lround (periods * sampleRate / hz);
    double inEnergy = 0.0, outEnergy = 0.0;

    for (int i = 0; i < settle + measured; ++i)
    {
        const auto x = (float) std::sin (juce::MathConstants<double>::twoPi * hz * i / sampleRate);
        const float y = process (x);

        if (i >= settle)
        {
            inEnergy += (double) x * x;
            outEnergy += (double) y * y;
        }
    }

    return std::sqrt (outEnergy / inEnergy);
}

inline double toDecibels (double gain) { return 20.0 * std::log10 (gain); }
} // namespace SignalMeasures
