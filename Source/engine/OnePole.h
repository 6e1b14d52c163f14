#pragma once

#include "engine/StageBasics.h"

#include <cmath>

// The one-pole smoother every stage uses, y = p y + (1 - p) x, where p, the pole, is the share of the last
// output kept at each sample. A stage writes it either in that form (the level followers) or as a step
// towards the input, y += (x - y) k, with k = 1 - p. The pole follows from a time or from a cutoff; each
// form is computed here, in float and in one order of operations, so that every stage gets the same float
// for the same setting.
struct OnePole
{
    float pole;

    // Covers 1 - 1/e of a step in the given time.
    static OnePole forTime (float seconds, float sampleRate) noexcept
    {
        return { std::exp (-1.0f / (sampleRate * seconds)) };
    }

    // A low-pass at this cutoff: the pole is e^(-2π f / fs).
    static OnePole forCutoff (float hz, float sampleRate) noexcept { return { std::exp ((hz * -twoPi) / sampleRate) }; }

    // k of the step form y += (x - y) k.
    float step() const noexcept { return 1.0f - pole; }
};
