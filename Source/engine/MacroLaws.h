#pragma once

#include "engine/Dynamics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <juce_audio_basics/juce_audio_basics.h>

// What each macro does, knob by knob: every law a pure function of the macro's value from 0
// to 1 (a sample of its lane). The stages apply them; this is where to read or change what a knob means.

namespace SpaceLaws
{
// The reverb runs fully wet, never frozen; SPACE sets only the room size, from 0.3 to 0.98.
inline juce::Reverb::Parameters reverbSettings (float space) noexcept
{
    juce::Reverb::Parameters p;
    p.roomSize = space * 0.68f + 0.3f;
    p.damping = 0.4f;
    p.wetLevel = 1.0f;
    p.dryLevel = 0.0f;
    p.width = 1.0f;
    p.freezeMode = 0.0f;
    return p;
}

// The modulated delay's feedback, from 0.1 to 0.85.
inline float delayFeedback (float space) noexcept
{
    constexpr float feedbackBase = 0.1f;
    constexpr float feedbackPerSpace = 0.75f;
    return feedbackPerSpace * space + feedbackBase;
}

// The reverb's share of the wet blend, the delays having the rest: from 0.35 to 0.8.
inline float reverbShare (float space) noexcept { return space * 0.45f + 0.35f; }
} // namespace SpaceLaws

namespace GritLaws
{
inline constexpr float driveRange = 0.55f; // GRIT at which the drive amount is full
inline constexpr float crushStart = 0.45f; // GRIT above which the crush amount rises
inline constexpr float maxCutoffRatio = 0.45f;

inline float limit01 (float x) noexcept { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

// GRIT splits into two overlapping amounts: drive over its lower 55 %, crush over its upper 55 %. The
// drive amount sets the saturation and the leveller, the crush amount the bit and sample-rate reduction.
inline float driveAmount (float grit) noexcept { return limit01 (grit / driveRange); }
inline float crushAmount (float grit) noexcept { return limit01 ((grit - crushStart) / driveRange); }

// The tone low-pass darkens with drive and opens again with crush, and stays below the Nyquist frequency.
inline float toneCutoff (float grit, float sampleRateHz) noexcept
{
    const float a = limit01 (grit);
    const float d = driveAmount (a);
    const float c = crushAmount (a);
    const float fc = (std::pow (0.16f, d) * 20000.0f) * (c * 1.4f + 1.0f);
    return std::min (fc, maxCutoffRatio * sampleRateHz);
}

// The saturator's input gain for a drive amount, from 1 to 9.
inline float driveGain (float driveAmount) noexcept { return driveAmount * 8.0f + 1.0f; }

// The bit reducer's depth for a crush amount, from 16 bits down to 6, and the quantisation step it gives
// over the range -1 to 1.
inline float crushBits (float crushAmount) noexcept { return 16.0f - crushAmount * 10.0f; }
inline float quantisationStep (float crushAmount) noexcept { return 2.0f / std::pow (2.0f, crushBits (crushAmount)); }

// How many samples the rate reducer holds each one for a crush amount, from 1 to 24.
inline int holdLength (float crushAmount) noexcept
{
    return 1 + static_cast<int> (23.0f * std::pow (crushAmount, 1.5f));
}

// The wet path's trim after the character stage, for its two amounts.
inline float wetTrim (float driveAmount, float crushAmount) noexcept
{
    return (1.0f - driveAmount * 0.16f) - crushAmount * 0.1f;
}
} // namespace GritLaws

namespace DriftLaws
{
// DRIFT is the depth of the delay-time wobble. At full DRIFT the slow, middle and fast oscillators swing the
// delay time by these many seconds.
inline constexpr std::array<float, 3> oscillatorDepths { 0.015f, 0.00075f, 0.00032f };

// The wobble in samples for the oscillators' sum weighted by their depths (in seconds at full DRIFT).
inline float wobbleSamples (float weightedSum, float drift, float sampleRate) noexcept
{
    return weightedSum * (sampleRate * drift);
}
} // namespace DriftLaws

namespace MeltLaws
{
// Wet gain rises along a quarter sine up to 0.85 of the way.
inline float wetGain (float melt) noexcept { return std::sin ((melt * 0.85f) * 1.5707964f); }

// Dry gain stays at unity up to 0.6 and then eases down to 1 - 0.2921 along a half cosine.
inline float dryGain (float melt) noexcept
{
    if (melt <= 0.6f)
        return 1.0f;

    // 0.39999998 is the float result of 1 - 0.6; the curve is defined on that exact span.
    const float t = std::clamp ((melt - 0.6f) / 0.39999998f, 0.0f, 1.0f);
    return 1.0f - 0.2921f * (0.5f - 0.5f * std::cos (t * 3.1415927f));
}

// MELT is also the depth of the ducking: the input's level pushes the wet path down along this curve.
inline constexpr GainComputer ducking { -32.0f, 0.9f, 28.0f };
inline constexpr float minimumDuckingDepth = 0.0001f;

// The gain on the wet path for a follower level (linear) and MELT; tenToThe (x) must return powf (10, x),
// which a caller may remember for a repeated x.
template <typename Power>
inline float duckingGain (float envelope, float melt, Power&& tenToThe) noexcept
{
    if (melt <= minimumDuckingDepth)
        return 1.0f;

    const float reductionDb = ducking.reductionDb (envelope, melt);
    return reductionDb == 0.0f ? 1.0f : tenToThe (GainComputer::gainExponent (reductionDb));
}

inline float duckingGain (float envelope, float melt) noexcept
{
    return duckingGain (envelope, melt, [] (float x) { return std::pow (10.0f, x); });
}
} // namespace MeltLaws
