#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// One block of white noise computed ahead, and the buffer that is processed in place: refill() copies
// the noise into it before every block, so each block sees the same input and never its own output.
class NoiseBlock
{
public:
    NoiseBlock (int numChannels, int blockSize, float peak)
        : noise (numChannels, blockSize), io (numChannels, blockSize)
    {
        setPeak (peak);
        refill();
    }

    // Uniform noise between -peak and +peak; a peak of 0 gives digital silence.
    void setPeak (float peak)
    {
        juce::Random random (noiseSeed);

        for (int ch = 0; ch < noise.getNumChannels(); ++ch)
            for (int i = 0; i < noise.getNumSamples(); ++i)
                noise.setSample (ch, i, peak * (2.0f * random.nextFloat() - 1.0f));
    }

    void refill() noexcept
    {
        for (int ch = 0; ch < io.getNumChannels(); ++ch)
            io.copyFrom (ch, 0, noise, ch, 0, io.getNumSamples());
    }

    juce::AudioBuffer<float>& buffer() noexcept { return io; }

private:
    static constexpr juce::int64 noiseSeed = 0x5eed;

    juce::AudioBuffer<float> noise;
    juce::AudioBuffer<float> io;
};
