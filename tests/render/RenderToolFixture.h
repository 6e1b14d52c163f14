#pragma once

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_graphics/juce_graphics.h>
#include <vector>

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

    // Runs one of the independent Debian programs (flac, oggenc, oggdec, ogginfo, lame, sox) that the
    // tests check the tool against. They are installed by scripts/install-deps.sh; a missing one fails
    // the test that needs it, by name.
    static Run runProgram (const juce::String& program, const juce::StringArray& arguments);

    // The same with the program and its arguments in one list, in which "{name}" stands for the file
    // of that name in the test's directory.
    Run runProgram (const std::vector<const char*>& command) const;

    // WAV or AIFF, by the file's extension; 32 bits are float.
    static void writeAudio (const juce::File& destination,
                            const juce::AudioBuffer<float>& samples,
                            double sampleRate,
                            int bitsPerSample = 32);
    static Audio readAudio (const juce::File& source);

    // Deterministic noise with a slow swell, so that no two nearby samples are alike.
    static juce::AudioBuffer<float> testSignal (int numChannels, int numSamples);

    juce::File directory;

private:
    static Run runCommand (const juce::StringArray& command);
};
