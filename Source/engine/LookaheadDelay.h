#pragma once

#include <array>
#include <juce_audio_basics/juce_audio_basics.h>

// A delay by a whole number of samples, per channel: what juce::dsp::DelayLine without interpolation
// gives when each sample is pushed and then popped, but without its three integer remainders per sample.
// Only values move, so the output is the input, bit for bit, delaySamples later (silence before that).
class LookaheadDelay
{
public:
    static constexpr int maxChannels = 2;

    // Allocates; clears the history and restarts every channel.
    void prepare (int newDelaySamples)
    {
        delaySamples = juce::jmax (0, newDelaySamples);
        history.setSize (maxChannels, juce::jmax (1, delaySamples));
        history.clear();
        positions = {};
    }

    // output[i] = the input of this channel delaySamples samples earlier; input and output must differ.
    void process (int channel, const float* input, float* output, int numSamples) noexcept
    {
        if (delaySamples == 0)
        {
            juce::FloatVectorOperations::copy (output, input, numSamples);
            return;
        }

        auto* ring = history.getWritePointer (channel);
        int& position = positions[(size_t)channel];

        // The ring holds the last delaySamples inputs, the oldest at position. Each sample takes the oldest
        // out and puts itself in its place, so a run of samples up to the ring's end is two block copies.
        for (int done = 0; done < numSamples;)
        {
            const int run = juce::jmin (numSamples - done, delaySamples - position);
            juce::FloatVectorOperations::copy (output + done, ring + position, run);
            juce::FloatVectorOperations::copy (ring + position, input + done, run);
            position = position + run == delaySamples ? 0 : position + run;
            done += run;
        }
    }

    int getDelaySamples() const noexcept { return delaySamples; }

private:
    juce::AudioBuffer<float> history;
    std::array<int, maxChannels> positions {};
    int delaySamples = 0;
};
