#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// White noise computed ahead, played block by block into the buffer that is processed in place. The
// noise is much longer than any block, so every block size sees the same signal: a short stretch
// repeated block after block would be a periodic tone, and the saturators, followers and filters would
// do different work for each block size.
class NoiseSource
{
public:
    // A whole number of blocks of every size benchmarked; about 1.4 s at 48 kHz.
    static constexpr int lengthInFrames = 1 << 16;

    NoiseSource (int numChannels, int blockSize, float peak)
        : noise (numChannels, lengthInFrames), io (numChannels, blockSize)
    {
        jassert (lengthInFrames % blockSize == 0);
        setPeak (peak);
        refill();
    }

    // Uniform noise between -peak and +peak; a peak of 0 gives digital silence.
    void setPeak (float peak)
    {
        juce::Random random (noiseSeed);

        for (int ch = 0; ch < noise.getNumChannels(); ++ch)
            for (int i = 0; i < lengthInFrames; ++i)
                noise.setSample (ch, i, peak * (2.0f * random.nextFloat() - 1.0f));
    }

    // The next block of noise into the block buffer.
    void refill() noexcept
    {
        for (int ch = 0; ch < io.getNumChannels(); ++ch)
            io.copyFrom (ch, 0, noise, ch, position, io.getNumSamples());

        position = (position + io.getNumSamples()) % lengthInFrames;
    }

    juce::AudioBuffer<float>& buffer() noexcept { return io; }

private:
    static constexpr juce::int64 noiseSeed = 0x5eed;

    juce::AudioBuffer<float> noise;
    juce::AudioBuffer<float> io;
    int position = 0;
};
