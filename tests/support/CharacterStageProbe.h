#pragma once

#include "engine/CharacterStage.h"

#include <array>

// Read and write access to the character stage's per-channel state, so that a test can put one stage in a
// given state (a leveller at its ceiling, a reducer mid-hold) and see what a sample does to it.
struct CharacterStageProbe
{
    using Stage = CharacterStage;
    using States = std::array<float, maxChannels>;

    static States& toneState (Stage& s) { return s.toneState; }
    static States& dcState (Stage& s) { return s.dcState; }
    static States& levelEnvelope (Stage& s) { return s.levelEnvelope; }
    static States& heldSample (Stage& s) { return s.heldSample; }
    static std::array<int, maxChannels>& holdCounter (Stage& s) { return s.holdCounter; }

    static const States& toneState (const Stage& s) { return s.toneState; }
    static const States& dcState (const Stage& s) { return s.dcState; }
    static const States& levelEnvelope (const Stage& s) { return s.levelEnvelope; }
    static const States& heldSample (const Stage& s) { return s.heldSample; }
    static const std::array<int, maxChannels>& holdCounter (const Stage& s) { return s.holdCounter; }
};
