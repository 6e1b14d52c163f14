#pragma once

#include <cstring>
#include <juce_audio_basics/juce_audio_basics.h>

// Same shape and the same bits in every sample: the engine's output is defined to the float.
inline bool bitIdentical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
        return false;

    for (int ch = 0; ch < a.getNumChannels(); ++ch)
        if (std::memcmp (a.getReadPointer (ch), b.getReadPointer (ch), sizeof (float) * (size_t) a.getNumSamples()) !=
            0)
            return false;

    return true;
}
