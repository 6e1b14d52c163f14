#pragma once

#include "engine/OnePole.h"

#include <algorithm>
#include <cmath>
#include <juce_dsp/juce_dsp.h>

// The parts the ducker and the character stage's leveller share: the level follower and the gain
// computer. Both use them in the same order of operations, so the same inputs give the same floats in
// either.

// juce::Decibels::gainToDecibels with its default -100 dB floor, spelled out in float.
inline float gainToDecibels (float gain) noexcept
{
    constexpr float floorDb = -100.0f;
    return gain > 0.0f ? std::max (20.0f * std::log10 (gain), floorDb) : floorDb;
}

// A peak follower: one pole towards the level, with the attack time while the level is above the
// envelope and the release time otherwise. The envelope itself, one float per signal, stays with the
// caller, which keeps it in a register through a block; so reset() has no memory to clear.
class EnvelopeFollower
{
public:
    void prepare (const juce::dsp::ProcessSpec& spec) noexcept
    {
        sampleRate = static_cast<float> (spec.sampleRate);
        updateCoefficients();
    }

    void reset() noexcept {}

    // The times hold until they are set again; the coefficients follow the rate of the last prepare().
    void setTimes (float attackSeconds, float releaseSeconds) noexcept
    {
        attackTime = attackSeconds;
        releaseTime = releaseSeconds;
        updateCoefficients();
    }

    // The envelope after one more sample of level (a magnitude, 0 or more).
    float next (float envelope, float level) const noexcept
    {
        const float c = level > envelope ? attack : release;
        return (1.0f - c) * level + c * envelope;
    }

private:
    void updateCoefficients() noexcept
    {
        attack = OnePole::forTime (attackTime, sampleRate).pole;
        release = OnePole::forTime (releaseTime, sampleRate).pole;
    }

    float sampleRate = 44100.0f;
    float attackTime = 0.001f;
    float releaseTime = 0.1f;
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
