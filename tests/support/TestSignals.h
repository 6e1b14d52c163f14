#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// Input signals shared by the tests at every depth.
namespace TestSignals
{
// Reproducible white noise in [-amplitude, amplitude), a different stream per channel: a seed names the
// input, so a failing case replays exactly. Exact-output tests depend on these samples; the arithmetic
// must not change.
inline juce::AudioBuffer<float> noise (int numChannels, int numSamples, float amplitude = 0.5f, juce::int64 seed = 7)
{
    juce::Random random (seed);
    juce::AudioBuffer<float> buffer (numChannels, numSamples);

    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, amplitude * (2.0f * random.nextFloat() - 1.0f));

    return buffer;
}
} // namespace TestSignals
