#pragma once

#include "StagedFile.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_graphics/juce_graphics.h>
#include <optional>

// A picture of a render for people who would rather look than listen: the input above, the output
// below, each as a waveform over a spectrogram, on one time axis (with bars when there is a tempo).
namespace RenderPlot
{
constexpr int width = 1600;
constexpr int height = 900;

struct Content
{
    const juce::AudioBuffer<float>& input;
    const juce::AudioBuffer<float>& output;
    double sampleRate;
    std::optional<double> bpm;
    juce::String title;    // for example the input's file name
    juce::String settings; // one line: the controls, the tempo, the rate
    juce::String outputLabel;
};

juce::Image draw (const Content& content);

// Throws ToolError (not written).
void writePng (const StagedFile& destination, const juce::Image& image);
} // namespace RenderPlot
