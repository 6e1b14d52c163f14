#pragma once

#include "engine/Dynamics.h"

#include <algorithm>
#include <cmath>

// The gain laws of the engine: the MELT-driven wet and dry gains and the ducking curve. Each is a pure
// function of its inputs so the lanes and the per-sample loops stay short.

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
} // namespace MeltLaws

namespace Ducking
{
inline constexpr GainComputer law { -32.0f, 0.9f, 28.0f };
inline constexpr float minimumDepth = 0.0001f;

// Gain applied to the wet signal for a follower level (linear) and a ducking depth (0 to 1);
// tenToThe (x) must return powf (10, x), which a caller may remember for a repeated x.
template <typename Power>
inline float gain (float envelope, float depth, Power&& tenToThe) noexcept
{
    if (depth <= minimumDepth)
        return 1.0f;

    const float reductionDb = law.reductionDb (envelope, depth);
    return reductionDb == 0.0f ? 1.0f : tenToThe (GainComputer::gainExponent (reductionDb));
}

inline float gain (float envelope, float depth) noexcept
{
    return gain (envelope, depth, [] (float x) { return std::pow (10.0f, x); });
}
} // namespace Ducking
