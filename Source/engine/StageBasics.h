#pragma once

#include <juce_core/juce_core.h>

// What every stage of the engine shares, stated once.
//
// Each stage has the same shape: prepare (const juce::dsp::ProcessSpec&) sizes its memory and derives its
// coefficients, reset() clears its memory as prepare() leaves it, and its block call takes its arguments in
// this order: the channels it writes (in place, or its outputs), the channels it reads if they are others,
// the channel count, the sample count, then the per-block or per-sample values of the laws it applies.

// Every layout the plug-in accepts has one or two channels; every stage holds state for both.
inline constexpr int maxChannels = 2;

// The engine's stages and their tests are defined on this float; JUCE's constant rounds to it.
inline constexpr float twoPi = juce::MathConstants<float>::twoPi;
static_assert (twoPi == 6.2831855f, "the stages' coefficients are defined on this float");

// The channel that stands second in a pair of channel pointers: the second channel of a stereo block, the
// only one of a mono block again, so that a pair can be set up alike for either and read for numChannels.
constexpr int secondChannelIndex (int numChannels) noexcept { return numChannels > 1 ? 1 : 0; }
