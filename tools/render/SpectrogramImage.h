#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_graphics/juce_graphics.h>

// A spectrogram drawn as an image: time runs left to right over the given number of samples (the
// buffer is silent past its end), frequency bottom to top on a logarithmic scale, level as colour.
namespace SpectrogramImage
{
constexpr float lowestFrequency = 30.0f;
constexpr float highestFrequency = 20000.0f;
constexpr float floorDecibels = -110.0f;
constexpr float ceilingDecibels = -10.0f;

// The top of the frequency scale at this rate: 20 kHz, or just under Nyquist.
float topFrequency (double sampleRate);

// Where a frequency sits, 0 at the bottom of the scale and 1 at the top.
float heightOf (float frequency, double sampleRate);

// The colour of a level, from the floor (darkest) to the ceiling (brightest).
juce::Colour colourFor (float decibels);

juce::Image
render (const juce::AudioBuffer<float>& samples, juce::int64 totalSamples, double sampleRate, int width, int height);
} // namespace SpectrogramImage
