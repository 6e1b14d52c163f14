#include "engine/ModulatedDelay.h"

#include <cmath>

namespace
{
constexpr float twoPi = 6.2831855f;
constexpr float minusTwoPiTimesLoopCutoff = -28274.334f; // -2π × 4500 Hz
constexpr float glideSeconds = 0.15f;
constexpr double ringSeconds = 3.0;
constexpr int ringPadding = 8;

constexpr std::array<float, ModulatedDelay::numOscillators> oscillatorDepths { 0.015f, 0.00075f, 0.00032f };
constexpr std::array<float, ModulatedDelay::numOscillators> rightChannelStartPhases { 0.11f, 0.63f, 1.42f };

constexpr float crossfeedAmount = 0.22f;
constexpr float directAmount = 0.78f;
} // namespace

void ModulatedDelay::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    ringLength = static_cast<int> (ringSeconds * newSampleRate) + ringPadding;
    ringBuffer.setSize (maxChannels, ringLength);

    const auto rate = static_cast<float> (newSampleRate);
    loopCoefficient = 1.0f - std::exp (minusTwoPiTimesLoopCutoff / rate);
    timeCoefficient = 1.0f - std::exp (-1.0f / (rate * glideSeconds));

    ringBuffer.clear();
    writeIndex = 0;

    for (int k = 0; k < numOscillators; ++k)
    {
        lfoPhases[(size_t) k][0] = 0.0f;
        lfoPhases[(size_t) k][1] = rightChannelStartPhases[(size_t) k];
    }

    loopState = { 0.0f, 0.0f };
    currentDelay = { -1.0f, -1.0f };
}

float ModulatedDelay::clampDelay (float delay) const noexcept
{
    if (delay < static_cast<float> (guardSamples))
        return static_cast<float> (guardSamples);

    return std::min (static_cast<float> (ringLength - guardSamples), delay);
}

float ModulatedDelay::modulation (int channel) noexcept
{
    const float w = twoPi / static_cast<float> (sampleRate);
    float m = 0.0f;

    for (size_t k = 0; k < (size_t) numOscillators; ++k)
    {
        auto& phase = lfoPhases[k][(size_t) channel];
        phase = std::fmod (w * lfoRates[k][(size_t) channel] + phase, twoPi);
        m = m + std::sin (phase) * oscillatorDepths[k];
    }

    return m;
}

int ModulatedDelay::wrap (int index) const noexcept
{
    const int r = index % ringLength;
    return r < 0 ? r + ringLength : r;
}

float ModulatedDelay::readCubic (int channel, float delay) const noexcept
{
    const float position = static_cast<float> (writeIndex) - delay;
    const int i = static_cast<int> (std::floor (position));
    const float t = position - static_cast<float> (i);

    const float* ring = ringBuffer.getReadPointer (channel);
    const float ym1 = ring[wrap (i - 1)];
    const float y0 = ring[wrap (i)];
    const float y1 = ring[wrap (i + 1)];
    const float y2 = ring[wrap (i + 2)];

    // Catmull-Rom, in the order that defines the exact float result.
    const float c3 = ((1.5f * y0 - 0.5f * ym1) - 1.5f * y1) + 0.5f * y2;
    const float c2 = ((ym1 - 2.5f * y0) + (y1 + y1)) - 0.5f * y2;
    const float c1 = 0.5f * y1 - 0.5f * ym1;
    return ((c3 * t + c2) * t + c1) * t + y0;
}

void ModulatedDelay::processFrame (Frame& frame, int numChannels, const Frame& delayTimes, float feedback, float depth)
{
    const int n = juce::jlimit (1, maxChannels, numChannels);
    Frame delayed {};

    for (int c = 0; c < n; ++c)
    {
        const auto ch = (size_t) c;
        float target = clampDelay (delayTimes[ch]);

        // A negative current delay means "not set yet": the first frame jumps straight to its target.
        if (currentDelay[ch] >= 0.0f)
            target = (target - currentDelay[ch]) * timeCoefficient + currentDelay[ch];

        currentDelay[ch] = target;

        const float m = modulation (c);
        const float modulated = clampDelay (m * (static_cast<float> (sampleRate) * depth) + target);
        delayed[ch] = readCubic (c, modulated);
    }

    for (int c = 0; c < n; ++c)
    {
        const auto ch = (size_t) c;
        const auto other = (size_t) (n == 2 ? 1 - c : c);

        const float x = crossfeedAmount * delayed[other] + directAmount * delayed[ch];
        loopState[ch] = (x - loopState[ch]) * loopCoefficient + loopState[ch];
        ringBuffer.setSample (c, writeIndex, std::tanh (loopState[ch]) * feedback + frame[ch]);
        frame[ch] = delayed[ch];
    }

    if (++writeIndex >= ringLength)
        writeIndex = 0;
}
