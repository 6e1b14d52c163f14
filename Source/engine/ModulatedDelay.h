#pragma once

#include "engine/StageBasics.h"

#include <array>
#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>

// Tempo-synchronised stereo feedback delay. Each tap glides to its target time and wobbles under three
// sine oscillators; the ring is read with a four-point cubic and fed back through a crossfeed, a one-pole
// low-pass and a tanh saturator. All memory is obtained in prepare(); processing never allocates.
class ModulatedDelay
{
public:
    static constexpr int numOscillators = 3;
    using Frame = std::array<float, maxChannels>;

    // Sizes the ring for the rate; the block size and channel count do not matter, the ring holds both
    // channels.
    void prepare (const juce::dsp::ProcessSpec& spec);

    // Empties the ring and restarts the oscillators and the glide, as prepare() leaves them. Constant time,
    // so that it can run inside an audio callback at any sample rate: the ring's memory is not touched, and
    // until the write index has gone round once, what lies at and after it reads as silence.
    void reset() noexcept;

    // frame: the input samples on entry, the delayed samples on return (first numChannels entries).
    void processFrame (Frame& frame, int numChannels, const Frame& delayTimes, float feedback, float depth) noexcept;

    // The same as one processFrame per sample, with the per-sample feedback and depth taken from arrays.
    // output and input may be the same channels.
    void process (float* const* output,
                  const float* const* input,
                  int numChannels,
                  int numSamples,
                  const Frame& delayTimes,
                  const float* feedback,
                  const float* depth) noexcept;

    int getRingLength() const noexcept { return ringLength; }
    int getWriteIndex() const noexcept { return writeIndex; }
    float getCurrentDelay (int channel) const noexcept { return currentDelay[(size_t) channel]; }
    // The ring's memory. After reset() only its first getWrittenLength() positions hold what the delay
    // reads; until the write index has gone round once, the rest holds samples from before the reset.
    const juce::AudioBuffer<float>& getRing() const noexcept { return ringBuffer; }
    int getWrittenLength() const noexcept { return writtenLength; }

    // Distance kept from both ends of the ring so that the four interpolation taps never reach the
    // sample being written in the same frame.
    static constexpr int guardSamples = 4;

private:
    // The block is worked through in chunks whose delay times are computed ahead of the ring pass.
    static constexpr int chunkLength = 64;
    using Chunk = std::array<float, chunkLength>;
    using Delays = std::array<Chunk, maxChannels>;

    float clampDelay (float delay) const noexcept;
    void glide (int channel, float target, int length, Chunk& delays) noexcept;
    void addModulation (int channel, const float* depth, int length, Chunk& delays) noexcept;
    static size_t readAheadRun (const Delays& delays, int numChannels, size_t start, size_t length) noexcept;
    template <bool whole>
    void runRing (const float* const* input,
                  float* const* output,
                  int numChannels,
                  size_t length,
                  const Delays& delays,
                  const float* feedback) noexcept;
    template <bool whole>
    float readCubic (const float* ring, int position, float delay) const noexcept;
    template <bool whole>
    float tap (const float* ring, int index) const noexcept;
    int wrap (int index) const noexcept;

    // [oscillator][channel]: slow, middle, fast; left, right.
    std::array<std::array<float, maxChannels>, numOscillators> lfoRates {
        { { 0.19f, 0.23f }, { 4.9f, 5.7f }, { 7.3f, 8.1f } }
    };
    juce::AudioBuffer<float> ringBuffer;
    double sampleRate = 44100.0;
    int ringLength = 4;
    int writeIndex = 0;
    // How many positions, from 0 on, have been written since the ring was last emptied (at most all of
    // them). The positions beyond count as silence, whatever the memory holds.
    int writtenLength = ringLength;
    float loopCoefficient = 0.5f;
    float timeCoefficient = 0.001f;
    std::array<std::array<float, maxChannels>, numOscillators> lfoPhases {};
    std::array<float, maxChannels> loopState {};
    std::array<float, maxChannels> currentDelay { -1.0f, -1.0f };

    // Derived in prepare() from the sample rate and the ring length, by the same float operations the
    // per-frame laws spell out, so that each frame does not repeat them.
    std::array<std::array<float, maxChannels>, numOscillators> phaseIncrements {};
    float sampleRateAsFloat = 44100.0f;
    float longestDelay = 0.0f;
};
