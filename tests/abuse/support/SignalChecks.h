#pragma once

#include <cmath>
#include <juce_audio_basics/juce_audio_basics.h>
#include <string>

// What an abuse test asks of every block the plug-in hands back: finite, no subnormal numbers (they
// would mean the flush-to-zero guard leaked), and below a level no sane ambience effect reaches.
struct BlockHealth
{
    int nonFinite = 0;
    int subnormal = 0;
    float peak = 0.0f;

    void absorb (const juce::AudioBuffer<float>& buffer, int numChannels, int numSamples)
    {
        for (int ch = 0; ch < numChannels; ++ch)
        {
            const auto* samples = buffer.getReadPointer (ch);

            for (int i = 0; i < numSamples; ++i)
            {
                const float x = samples[i];

                if (! std::isfinite (x))
                    ++nonFinite;
                else if (std::fpclassify (x) == FP_SUBNORMAL)
                    ++subnormal;
                else
                    peak = std::max (peak, std::abs (x));
            }
        }
    }

    void absorb (const juce::AudioBuffer<float>& buffer)
    {
        absorb (buffer, buffer.getNumChannels(), buffer.getNumSamples());
    }

    void merge (const BlockHealth& other)
    {
        nonFinite += other.nonFinite;
        subnormal += other.subnormal;
        peak = std::max (peak, other.peak);
    }

    // Full-scale noise comes out a little above full scale at any setting (the dry path is unity and
    // the wet path saturates); a peak far beyond that is a runaway feedback loop or a gain fault.
    static constexpr float peakLimit = 4.0f;

    bool healthy() const { return nonFinite == 0 && subnormal == 0 && peak <= peakLimit; }

    std::string describe() const
    {
        return "non-finite " + std::to_string (nonFinite) + ", subnormal " + std::to_string (subnormal) + ", peak " +
               std::to_string (peak);
    }
};

// Deterministic full-scale white noise, so a failing case can be replayed.
inline void fillWithNoise (juce::AudioBuffer<float>& buffer, juce::Random& random, int numSamples)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        auto* samples = buffer.getWritePointer (ch);

        for (int i = 0; i < numSamples; ++i)
            samples[i] = random.nextFloat() * 2.0f - 1.0f;
    }
}
