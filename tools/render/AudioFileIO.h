#pragma once

#include "StagedFile.h"

#include <juce_audio_basics/juce_audio_basics.h>

struct InputAudio
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 0.0;
    juce::String description; // for example "WAV, 24-bit, 44100 Hz, stereo"
};

namespace AudioFileIO
{
// Reads a whole WAV or AIFF file, mono or stereo. Throws ToolError (unreadable file) naming the problem.
InputAudio read (const juce::File& file);

// Encodes the samples as WAV into the staged file: 32-bit float or 24-bit integer.
// Throws ToolError (not written).
void writeWav (const StagedFile& destination,
               const juce::AudioBuffer<float>& samples,
               double sampleRate,
               bool floatSamples);

juce::String describeChannels (int numChannels);
} // namespace AudioFileIO
