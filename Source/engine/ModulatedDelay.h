#pragma once

#include <array>
#include <juce_audio_basics/juce_audio_basics.h>

// Tempo-synchronised stereo feedback delay. Each tap glides to its target time and wobbles under three
// sine oscillators; the ring is read with a four-point cubic and fed back through a crossfeed, a one-pole
// low-pass and a tanh saturator. All memory is obtained in prepare(); processFrame() never allocates.
class ModulatedDelay
{
public:
    static constexpr int maxChannels = 2;
    static constexpr int numOscillators = 3;
    using Frame = std::array<float, maxChannels>;

    void prepare (double newSampleRate);

    // frame: the input samples on entry, the delayed samples on return (first numChannels entries).
    void processFrame (Frame& frame, int numChannels, const Frame& delayTimes, float feedback, float depth);

    int getRingLength() const noexcept { return ringLength; }
    int getWriteIndex() const noexcept { return writeIndex; }
    float getCurrentDelay (int channel) const noexcept { return currentDelay[(size_t) channel]; }
    const juce::AudioBuffer<float>& getRing() const noexcept { return ringBuffer; }

    // Distance kept from both ends of the ring so that the four interpolation taps never reach the
    // sample being written in the same frame.
    static constexpr int guardSamples = 4;

private:
    float clampDelay (float delay) const noexcept;
    float modulation (int channel) noexcept;
    float readCubic (int channel, float delay) const noexcept;
    int wrap (int index) const noexcept;

    // [oscillator][channel]: slow, middle, fast; left, right.
    std::array<std::array<float, maxChannels>, numOscillators> lfoRates {
        { { 0.19f, 0.23f }, { 4.9f, 5.7f }, { 7.3f, 8.1f } }
    };
    juce::AudioBuffer<float> ringBuffer;
    double sampleRate = 44100.0;
    int ringLength = 4;
    int writeIndex = 0;
    float loopCoefficient = 0.5f;
    float timeCoefficient = 0.001f;
    std::array<std::array<float, maxChannels>, numOscillators> lfoPhases {};
    std::array<float, maxChannels> loopState {};
    std::array<float, maxChannels> currentDelay { -1.0f, -1.0f };
};
