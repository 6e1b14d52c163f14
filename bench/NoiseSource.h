#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// White noise computed ahead, played block by block into the buffer that is processed in place. The
// noise is much longer than any block, so every block size sees the same signal: a short stretch
// repeated block after block would be a periodic tone, and the saturators, followers and filters would
// do different work for each block size.
class NoiseSource
{
public:
    // Typical programme material: uniform noise at a peak of -6 dBFS.
    static constexpr float typicalPeak = 0.5f;

    // A whole number of blocks of every size benchmarked; about 1.4 s at 48 kHz.
    static constexpr int lengthInFrames = 1 << 16;

    NoiseSource (int numChannels, int blockSize, float peak) : io (numChannels, blockSize), gain (peak)
    {
        jassert (lengthInFrames % blockSize == 0);
        jassert (numChannels <= unitNoise().getNumChannels());
        refill();
    }

    // Uniform noise between -peak and +peak; a peak of 0 gives digital silence. The peak scales the
    // noise as each block is copied, so changing it between blocks costs nothing that would land on
    // the next block's time, and every source shares one table instead of holding its own.
    void setPeak (float peak) noexcept { gain = peak; }

    // The next block of noise into the block buffer.
    void refill() noexcept
    {
        for (int ch = 0; ch < io.getNumChannels(); ++ch)
            io.copyFrom (ch, 0, unitNoise().getReadPointer (ch, position), io.getNumSamples(), gain);

        position = (position + io.getNumSamples()) % lengthInFrames;
    }

    juce::AudioBuffer<float>& buffer() noexcept { return io; }

    // Noise between -1 and +1 for both channels; a mono source plays the first. Made on first use.
    static const juce::AudioBuffer<float>& unitNoise()
    {
        static const juce::AudioBuffer<float> noise = []
        {
            juce::AudioBuffer<float> n (2, lengthInFrames);
            juce::Random random (noiseSeed);

            for (int ch = 0; ch < n.getNumChannels(); ++ch)
                for (int i = 0; i < lengthInFrames; ++i)
                    n.setSample (ch, i, 2.0f * random.nextFloat() - 1.0f);

            return n;
        }();

        return noise;
    }

private:
    static constexpr juce::int64 noiseSeed = 0x5eed;

    juce::AudioBuffer<float> io;
    float gain;
    int position = 0;
};
