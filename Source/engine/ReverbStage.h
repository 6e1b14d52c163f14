#pragma once

#include "engine/StageBasics.h"

#include <array>
#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>
#include <vector>

// The engine's reverb: the same eight parallel combs and four series all-passes per channel as
// juce::dsp::Reverb, computed float for float as it computes them (the tests hold the two to the same bits),
// with one difference that a host hears only as the absence of a dropout: reset() runs in constant time.
// JUCE's reverb can only clear all its memory in one go, 0.44 MB at 192 kHz, which is several blocks' worth
// of work at small buffers when it happens inside an audio callback (as it does when bypass engages). Here a
// reset only restarts a count of the frames processed since; a comb or all-pass whose line is longer than
// that count has not yet been written all round and reads silence instead of its memory.
// All memory is obtained in prepare(); processing never allocates.
class ReverbStage
{
public:
    using Parameters = juce::Reverb::Parameters;

    ReverbStage();

    // Sizes the lines for the sample rate and empties them; the smoothed gains settle at their targets.
    void prepare (const juce::dsp::ProcessSpec& spec);

    // Empties the lines; the smoothed gains carry on.
    void reset() noexcept;

    void setParameters (const Parameters& newParameters) noexcept;
    const Parameters& getParameters() const noexcept { return parameters; }

    // In place, one channel (the mono form) or two (the stereo form, both channels feeding both).
    void process (float* const* samples, int numChannels, int numSamples) noexcept;

private:
    static constexpr int numCombs = 8;
    static constexpr int numAllPasses = 4;

    // One delay line of a comb or an all-pass, read where it is about to be written.
    struct Line
    {
        std::vector<float> buffer;
        int length = 0;
        int index = 0;

        void setLength (int newLength);

        // The sample written one line length ago: silence until the line has been written all round since the
        // last reset.
        template <bool allWritten>
        float oldest (int framesSinceReset) const noexcept
        {
            if constexpr (allWritten)
                return buffer[(size_t) index];
            else
                return framesSinceReset >= length ? buffer[(size_t) index] : 0.0f;
        }

        void write (float sample) noexcept
        {
            buffer[(size_t) index] = sample;
            index = index + 1 == length ? 0 : index + 1;
        }
    };

    struct Comb
    {
        Line line;
        float last = 0.0f;

        template <bool allWritten>
        float process (float input, float damp, float feedbackLevel, int framesSinceReset) noexcept
        {
            const float output = line.oldest<allWritten> (framesSinceReset);
            last = (output * (1.0f - damp)) + (last * damp);
            JUCE_UNDENORMALISE (last);

            float temp = input + (last * feedbackLevel);
            JUCE_UNDENORMALISE (temp);
            line.write (temp);
            return output;
        }
    };

    struct AllPass
    {
        Line line;

        template <bool allWritten>
        float process (float input, int framesSinceReset) noexcept
        {
            const float bufferedValue = line.oldest<allWritten> (framesSinceReset);
            float temp = input + (bufferedValue * 0.5f);
            JUCE_UNDENORMALISE (temp);
            line.write (temp);
            return bufferedValue - input;
        }
    };

    void setSampleRate (double sampleRate);

    template <bool allWritten>
    void processStereo (float* left, float* right, int numSamples) noexcept;
    template <bool allWritten>
    void processMono (float* samples, int numSamples) noexcept;
    void countFrames (int channel, int numSamples) noexcept;

    Parameters parameters;
    float gain = 0.0f;
    std::array<std::array<Comb, numCombs>, maxChannels> combs;
    std::array<std::array<AllPass, numAllPasses>, maxChannels> allPasses;
    juce::SmoothedValue<float> damping, feedback, dryGain, wetGain1, wetGain2;

    // How many frames each channel has run since the last reset, counted up to the longest line's length: its
    // lines that are at most this long have been written all round. Per channel, since a mono block leaves
    // the second channel's lines as they are.
    int longestLine = 0;
    std::array<int, maxChannels> framesWritten {};
};
