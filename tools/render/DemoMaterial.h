#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// Two bars of stereo material made in code, chosen to show what the effect does: a strummed, plucked
// chord that rings through the first bar (the reverb and repeats bloom around it), then a short drum
// figure (the repeats follow the tempo, and the ducking clears room for each hit).
namespace DemoMaterial
{
constexpr int bars = 2;
constexpr int beatsPerBar = 4;

juce::AudioBuffer<float> synthesise (double sampleRate, double bpm);
} // namespace DemoMaterial
