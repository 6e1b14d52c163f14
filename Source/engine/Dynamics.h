#pragma once

#include <algorithm>
#include <cmath>

// The parts the ducker and the character stage's leveller share: the one-pole coefficient, the level
// follower and the gain computer. Both use them in the same order of operations, so the same inputs give
// the same floats in either.

// The coefficient c of a one-pole smoother y = (1 - c) x + c y that covers 1 - 1/e of a step in the given
// time.
inline float onePoleCoefficient (float seconds, float sampleRate) noexcept
{
    return std::exp (-1.0f / (sampleRate * seconds));
}

// juce::Decibels::gainToDecibels with its default -100 dB floor, spelled out in float.
inline float gainToDecibels (float gain) noexcept
{
    constexpr float floorDb = -100.0f;
    return gain > 0.0f ? std::max (20.0f * std::log10 (gain), floorDb) : floorDb;
}

// A peak follower: one pole towards the level, with the attack time while the level is above the
// envelope and the release time otherwise. The envelope itself, one float per signal, stays with the
// caller, which keeps it in a register through a block.
class EnvelopeFollower
{
public:
    void prepare (float sampleRate, float attackSeconds, float releaseSeconds) noexcept
    {
        attack = onePoleCoefficient (attackSeconds, sampleRate);
        release = onePoleCoefficient (releaseSeconds, sampleRate);
    }

    // The envelope after one more sample of level (a magnitude, 0 or more).
    float next (float envelope, float level) const noexcept
    {
        const float c = level > envelope ? attack : release;
        return (1.0f - c) * level + c * envelope;
    }

private:
    float attack = 0.99f;
    float release = 0.9999f;
};

// A downward compressor's static curve: the follower level's overshoot above the threshold, in dB, times
// the slope, up to a ceiling, scaled by an amount from 0 to 1.
struct GainComputer
{
    float thresholdDb;
    float slope;
    float maxReductionDb;

    // The gain reduction in dB (0 or more) for a follower level (linear) and an amount.
    float reductionDb (float envelope, float amount) const noexcept
    {
        const float over = gainToDecibels (envelope) - thresholdDb;
        return over <= 0.0f ? 0.0f : std::min (maxReductionDb, slope * over) * amount;
    }

    // The reduction at its ceiling for an amount, the very float reductionDb gives there.
    float ceilingDb (float amount) const noexcept { return maxReductionDb * amount; }

    // x such that the gain is 10^x.
    static float gainExponent (float reductionDb) noexcept { return -reductionDb * 0.05f; }
};
