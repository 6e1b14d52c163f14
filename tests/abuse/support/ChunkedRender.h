#pragma once

#include "BitIdentical.h"

#include <functional>
#include <juce_audio_basics/juce_audio_basics.h>
#include <vector>

// Runs a whole input through a block processor in chunks of the given lengths (0 allowed) and returns
// what came out, so that two different chunkings of the same input can be compared sample for sample.
inline juce::AudioBuffer<float> renderInChunks (const juce::AudioBuffer<float>& input,
                                                const std::vector<int>& chunkLengths,
                                                const std::function<void (juce::AudioBuffer<float>&)>& process)
{
    juce::AudioBuffer<float> output (input);
    int start = 0;

    for (const int length : chunkLengths)
    {
        const int clipped = juce::jmin (length, output.getNumSamples() - start);
        std::vector<float*> channels;

        for (int ch = 0; ch < output.getNumChannels(); ++ch)
            channels.push_back (output.getWritePointer (ch, start));

        juce::AudioBuffer<float> chunk (channels.data(), output.getNumChannels(), clipped);
        process (chunk);
        start += clipped;
    }

    return output;
}

// Chunk lengths that add up to total, each in [minLength, maxLength].
inline std::vector<int> randomChunks (juce::Random& random, int total, int minLength, int maxLength)
{
    std::vector<int> lengths;

    for (int remaining = total; remaining > 0;)
    {
        const int length = juce::jmin (remaining, minLength + random.nextInt (maxLength - minLength + 1));
        lengths.push_back (length);
        remaining -= length;
    }

    return lengths;
}
