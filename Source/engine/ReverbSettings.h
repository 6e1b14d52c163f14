#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// The reverb runs fully wet, never frozen; SPACE (0 to 1) only sets the room size, from 0.3 to 0.98.
inline juce::Reverb::Parameters reverbSettingsForSpace (float space) noexcept
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
