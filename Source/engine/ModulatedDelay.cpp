#include "engine/ModulatedDelay.h"

#include "engine/FloatBits.h"
#include "engine/MacroLaws.h"
#include "engine/OnePole.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float loopCutoffHz = 4500.0f;
constexpr float glideSeconds = 0.15f;
constexpr double ringSeconds = 3.0;
constexpr int ringPadding = 8;

static_assert (DriftLaws::oscillatorDepths.size() == ModulatedDelay::numOscillators,
               "one oscillator per depth that DRIFT's law gives");
constexpr std::array<float, ModulatedDelay::numOscillators> rightChannelStartPhases { 0.11f, 0.63f, 1.42f };

constexpr float crossfeedAmount = 0.22f;
constexpr float directAmount = 0.78f;

// fmodf (x, 2π) for x >= 0: below 2π it is x itself, and below 4π it is x - 2π, a subtraction that is
// exact (Sterbenz: 2π <= x <= 2 × 2π), as fmodf is. Oscillator rates far below the sample rate keep
// x = phase + increment under 4π, so fmodf itself is left for rates that no host uses.
inline float wrapPhase (float x) noexcept
{
    if (x < twoPi)
        return x;

    return x < 2.0f * twoPi ? x - twoPi : std::fmod (x, twoPi);
}

// (int) floorf (x) for any x in the int range: truncation, one lower for a negative fraction. Exact,
// since (float) i equals x whenever x is too large to have a fraction.
inline int floorToInt (float x) noexcept
{
    const int i = static_cast<int> (x);
    return x < static_cast<float> (i) ? i - 1 : i;
}
} // namespace

void ModulatedDelay::prepare (const juce::dsp::ProcessSpec& spec)
{
    const double newSampleRate = spec.sampleRate;
    sampleRate = newSampleRate;
    ringLength = static_cast<int> (ringSeconds * newSampleRate) + ringPadding;
    ringBuffer.setSize (maxChannels, ringLength);

    const auto rate = static_cast<float> (newSampleRate);
    loopCoefficient = OnePole::forCutoff (loopCutoffHz, rate).step();
    timeCoefficient = OnePole::forTime (glideSeconds, rate).step();

    const float w = twoPi / rate;

    for (size_t k = 0; k < (size_t) numOscillators; ++k)
        for (size_t c = 0; c < (size_t) maxChannels; ++c)
            phaseIncrements[k][c] = w * lfoRates[k][c];

    sampleRateAsFloat = rate;
    longestDelay = static_cast<float> (ringLength - guardSamples);

    reset();

    // Off the audio thread the memory itself is emptied, which also brings its pages in before the first
    // block writes them; every position is then the silence it holds.
    ringBuffer.clear();
    writtenLength = ringLength;
}

void ModulatedDelay::reset() noexcept
{
    writeIndex = 0;
    writtenLength = 0;

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

    return std::min (longestDelay, delay);
}

void ModulatedDelay::glide (int channel, float target, int length, Chunk& delays) noexcept
{
    const float clamped = clampDelay (target);
    float current = currentDelay[(size_t) channel];
    int i = 0;

    for (; i < length; ++i)
    {
        // A negative current delay means "not set yet": the first frame jumps straight to its target.
        const float next = current >= 0.0f ? (clamped - current) * timeCoefficient + current : clamped;
        delays[(size_t) i] = next;

        // A glide step is a function of the current delay alone: once it returns its input, it always will.
        if (sameBits (next, current))
            break;

        current = next;
    }

    std::fill (delays.begin() + i, delays.begin() + length, current);
    currentDelay[(size_t) channel] = current;
}

void ModulatedDelay::addModulation (int channel, const float* depth, int length, Chunk& delays) noexcept
{
    const auto ch = (size_t) channel;
    Chunk m {};

    // One oscillator at a time over the chunk: the sines of successive frames do not wait for each other.
    // Each m[i] still sums the slow, middle and fast terms in that order.
    for (size_t k = 0; k < (size_t) numOscillators; ++k)
    {
        float phase = lfoPhases[k][ch];

        for (int i = 0; i < length; ++i)
        {
            phase = wrapPhase (phaseIncrements[k][ch] + phase);
            m[(size_t) i] = m[(size_t) i] + std::sin (phase) * DriftLaws::oscillatorDepths[k];
        }

        lfoPhases[k][ch] = phase;
    }

    for (int i = 0; i < length; ++i)
        delays[(size_t) i] =
            clampDelay (DriftLaws::wobbleSamples (m[(size_t) i], depth[i], sampleRateAsFloat) + delays[(size_t) i]);
}

int ModulatedDelay::wrap (int index) const noexcept
{
    // Reads stay within one ring length of [0, ringLength): the delay is clamped to [4, ringLength - 4]
    // and writeIndex lies in [0, ringLength - 1]. There one compare gives what a remainder would.
    if (index < 0)
        return index + ringLength;

    return index >= ringLength ? index - ringLength : index;
}

template <bool whole>
inline float ModulatedDelay::tap (const float* ring, int index) const noexcept
{
    // Since the ring was emptied it has been written from position 0 on, writtenLength positions.
    if constexpr (whole)
        return ring[index];
    else
        return index < writtenLength ? ring[index] : 0.0f;
}

template <bool whole>
inline float ModulatedDelay::readCubic (const float* ring, int position, float delay) const noexcept
{
    const float readPosition = static_cast<float> (position) - delay;
    const int i = floorToInt (readPosition);
    const float t = readPosition - static_cast<float> (i);

    // Taps that lie inside the ring need no wrapping.
    const bool inside = i >= 1 && i + 2 < ringLength;
    const float ym1 = tap<whole> (ring, inside ? i - 1 : wrap (i - 1));
    const float y0 = tap<whole> (ring, inside ? i : wrap (i));
    const float y1 = tap<whole> (ring, inside ? i + 1 : wrap (i + 1));
    const float y2 = tap<whole> (ring, inside ? i + 2 : wrap (i + 2));

    // Catmull-Rom, in the order that defines the exact float result.
    const float c3 = ((1.5f * y0 - 0.5f * ym1) - 1.5f * y1) + 0.5f * y2;
    const float c2 = ((ym1 - 2.5f * y0) + (y1 + y1)) - 0.5f * y2;
    const float c1 = 0.5f * y1 - 0.5f * ym1;
    return ((c3 * t + c2) * t + c1) * t + y0;
}

size_t ModulatedDelay::readAheadRun (const Delays& delays, int numChannels, size_t start, size_t length) noexcept
{
    // Frame j of a run reads between D - 2 and ringLength - 3 frames back (D is clamped to [4, ringLength
    // - 4]). With D >= j + 3 that is before the run's first frame and less than a ring length back, so no
    // read of the run meets a write of the run: reading every frame first reads the same samples.
    size_t end = start;

    for (; end < length; ++end)
    {
        const auto needed = static_cast<float> (end - start + 3);

        if (delays[0][end] < needed || (numChannels == 2 && delays[1][end] < needed))
            break;
    }

    return end - start; // at least 1: every delay is at least 4
}

template <bool whole>
void ModulatedDelay::runRing (const float* const* input,
                              float* const* output,
                              int numChannels,
                              size_t length,
                              const Delays& delays,
                              const float* feedback) noexcept
{
    const auto channels = (size_t) numChannels;
    std::array<float*, maxChannels> ring {};

    for (size_t c = 0; c < channels; ++c)
        ring[c] = ringBuffer.getWritePointer ((int) c);

    // A mono block leaves the second channel alone, but while the ring is being refilled after a reset its
    // written part must read as the silence an emptied ring would give when a stereo block follows.
    float* const silentChannel = ! whole && channels == 1 ? ringBuffer.getWritePointer (1) : nullptr;

    // The loop states run in locals, which the stores into the ring and the output cannot alias.
    auto state = loopState;
    const float loopRate = loopCoefficient;

    for (size_t start = 0; start < length;)
    {
        const size_t run = readAheadRun (delays, numChannels, start, length);
        Delays delayed, looped;

        for (size_t c = 0; c < channels; ++c)
            for (size_t j = 0, position = (size_t) writeIndex; j < run; ++j)
            {
                delayed[c][j] = readCubic<whole> (ring[c], (int) position, delays[c][start + j]);
                position = position + 1 == (size_t) ringLength ? 0 : position + 1;
            }

        for (size_t j = 0; j < run; ++j)
            for (size_t c = 0; c < channels; ++c)
            {
                const size_t other = channels == 2 ? 1 - c : c;
                const float x = crossfeedAmount * delayed[other][j] + directAmount * delayed[c][j];
                looped[c][j] = state[c] = (x - state[c]) * loopRate + state[c];
            }

        // The saturator's calls do not depend on each other, so they run in a loop of their own.
        for (size_t c = 0; c < channels; ++c)
            for (size_t j = 0, position = (size_t) writeIndex; j < run; ++j)
            {
                const size_t i = start + j;
                ring[c][position] = std::tanh (looped[c][j]) * feedback[i] + input[c][i];
                output[c][i] = delayed[c][j];
                position = position + 1 == (size_t) ringLength ? 0 : position + 1;
            }

        if constexpr (! whole)
        {
            if (silentChannel != nullptr)
                for (size_t j = 0, position = (size_t) writeIndex; j < run; ++j)
                {
                    // Past the first round the second channel holds what it held before the mono block.
                    if (position >= (size_t) writtenLength)
                        silentChannel[position] = 0.0f;
                    position = position + 1 == (size_t) ringLength ? 0 : position + 1;
                }
        }

        const size_t next = (size_t) writeIndex + run;
        writeIndex = static_cast<int> (next % (size_t) ringLength);
        start += run;

        // Until the first round ends the written part is everything before the write index.
        if constexpr (! whole)
            if (writtenLength < ringLength)
                writtenLength = static_cast<int> (std::min (next, (size_t) ringLength));
    }

    loopState = state;
}

void ModulatedDelay::process (float* const* output,
                              const float* const* input,
                              int numChannels,
                              int numSamples,
                              const Frame& delayTimes,
                              const float* feedback,
                              const float* depth) noexcept
{
    const int n = juce::jlimit (1, maxChannels, numChannels);

    for (int start = 0; start < numSamples; start += chunkLength)
    {
        const int length = std::min (chunkLength, numSamples - start);
        Delays delays;

        for (int c = 0; c < n; ++c)
        {
            glide (c, delayTimes[(size_t) c], length, delays[(size_t) c]);
            addModulation (c, depth + start, length, delays[(size_t) c]);
        }

        const std::array<const float*, maxChannels> in { input[0] + start, n == 2 ? input[1] + start : nullptr };
        const std::array<float*, maxChannels> out { output[0] + start, n == 2 ? output[1] + start : nullptr };
        if (writtenLength == ringLength)
            runRing<true> (in.data(), out.data(), n, (size_t) length, delays, feedback + start);
        else
            runRing<false> (in.data(), out.data(), n, (size_t) length, delays, feedback + start);
    }
}

void ModulatedDelay::processFrame (
    Frame& frame, int numChannels, const Frame& delayTimes, float feedback, float depth) noexcept
{
    std::array<float*, maxChannels> channels { &frame[0], &frame[1] };
    process (channels.data(), channels.data(), numChannels, 1, delayTimes, &feedback, &depth);
}
