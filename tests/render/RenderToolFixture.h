#pragma once

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>

// Runs the built veldranox-render in a fresh temporary directory and reads back what it wrote.
class RenderToolFixture : public testing::Test
{
protected:
    struct Run
    {
        int exitStatus = -1;
        juce::String text; // standard output and standard error together
    };

    struct Audio
    {
        juce::AudioBuffer<float> samples;
        double sampleRate = 0.0;
    };

    void SetUp() override;
    void TearDown() override;

    juce::File file (const juce::String& name) const { return directory.getChildFile (name); }

    Run runTool (const juce::StringArray& arguments) const;

    // WAV or AIFF, by the file's extension.
    static void writeAudio (const juce::File& destination,
                            const juce::AudioBuffer<float>& samples,
                            double sampleRate,
                            int bitsPerSample = 32);
    static Audio readAudio (const juce::File& source);

    // Deterministic noise with a slow swell, so that no two nearby samples are alike.
    static juce::AudioBuffer<float> testSignal (int numChannels, int numSamples);

    juce::File directory;
};
