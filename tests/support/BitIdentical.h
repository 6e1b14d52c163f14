#pragma once

#include <cstring>
#include <juce_audio_basics/juce_audio_basics.h>
#include <vector>

// The same bits in every sample: the engine's output is defined to the float, so tests compare bit patterns,
// which also tell -0 from +0 and match a NaN with itself.
inline bool bitIdentical (const float* a, const float* b, int numSamples)
{
    return numSamples <= 0 || std::memcmp (a, b, sizeof (float) * (size_t) numSamples) == 0;
}

inline bool bitIdentical (const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && bitIdentical (a.data(), b.data(), (int) a.size());
}

// Same shape and the same bits in every sample.
inline bool bitIdentical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
        return false;

    for (int ch = 0; ch < a.getNumChannels(); ++ch)
        if (! bitIdentical (a.getReadPointer (ch), b.getReadPointer (ch), a.getNumSamples()))
            return false;

    return true;
}
