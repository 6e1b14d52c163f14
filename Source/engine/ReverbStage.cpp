#include "engine/ReverbStage.h"

#include <algorithm>

void ReverbStage::Line::setLength (int newLength)
{
    if (newLength != length)
    {
        buffer.assign ((size_t) newLength, 0.0f);
        length = newLength;
        index = 0;
    }
    else
    {
        std::fill (buffer.begin(), buffer.end(), 0.0f);
    }
}

ReverbStage::ReverbStage()
{
    // The state juce::Reverb starts in, which a block processed before the first setParameters() hears.
    setParameters (Parameters());
    setSampleRate (44100.0);
}

void ReverbStage::prepare (const juce::dsp::ProcessSpec& spec) { setSampleRate (spec.sampleRate); }

void ReverbStage::setSampleRate (double sampleRate)
{
    // Freeverb's tunings at 44.1 kHz, scaled to the rate in integers; the right channel's lines are longer by
    // the stereo spread.
    static constexpr std::array<int, numCombs> combTunings { 1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617 };
    static constexpr std::array<int, numAllPasses> allPassTunings { 556, 441, 341, 225 };
    constexpr int stereoSpread = 23;
    const auto scaled = [rate = (int) sampleRate] (int tuning) { return (rate * tuning) / 44100; };

    longestLine = 0;

    for (int ch = 0; ch < maxChannels; ++ch)
    {
        const int spread = ch == 0 ? 0 : stereoSpread;

        for (int i = 0; i < numCombs; ++i)
        {
            auto& comb = combs[(size_t) ch][(size_t) i];
            comb.line.setLength (scaled (combTunings[(size_t) i] + spread));
            comb.last = 0.0f;
            longestLine = std::max (longestLine, comb.line.length);
        }

        for (int i = 0; i < numAllPasses; ++i)
        {
            auto& allPass = allPasses[(size_t) ch][(size_t) i];
            allPass.line.setLength (scaled (allPassTunings[(size_t) i] + spread));
            longestLine = std::max (longestLine, allPass.line.length);
        }
    }

    // The lines were emptied for real above.
    framesWritten.fill (longestLine);

    constexpr double smoothSeconds = 0.01;
    for (auto* smoothed : { &damping, &feedback, &dryGain, &wetGain1, &wetGain2 })
        smoothed->reset (sampleRate, smoothSeconds);
}

void ReverbStage::reset() noexcept
{
    for (auto& channel : combs)
        for (auto& comb : channel)
            comb.last = 0.0f;

    framesWritten.fill (0);
}

void ReverbStage::setParameters (const Parameters& newParameters) noexcept
{
    constexpr float wetScaleFactor = 3.0f;
    constexpr float dryScaleFactor = 2.0f;
    const float wet = newParameters.wetLevel * wetScaleFactor;
    dryGain.setTargetValue (newParameters.dryLevel * dryScaleFactor);
    wetGain1.setTargetValue (0.5f * wet * (1.0f + newParameters.width));
    wetGain2.setTargetValue (0.5f * wet * (1.0f - newParameters.width));

    const bool frozen = newParameters.freezeMode >= 0.5f;
    gain = frozen ? 0.0f : 0.015f;
    parameters = newParameters;

    constexpr float roomScaleFactor = 0.28f;
    constexpr float roomOffset = 0.7f;
    constexpr float dampScaleFactor = 0.4f;
    damping.setTargetValue (frozen ? 0.0f : parameters.damping * dampScaleFactor);
    feedback.setTargetValue (frozen ? 1.0f : parameters.roomSize * roomScaleFactor + roomOffset);
}

void ReverbStage::process (float* const* samples, int numChannels, int numSamples) noexcept
{
    if (numChannels == 1)
    {
        if (framesWritten[0] >= longestLine)
            processMono<true> (samples[0], numSamples);
        else
            processMono<false> (samples[0], numSamples);

        countFrames (0, numSamples);
    }
    else if (numChannels == 2)
    {
        if (std::min (framesWritten[0], framesWritten[1]) >= longestLine)
            processStereo<true> (samples[0], samples[1], numSamples);
        else
            processStereo<false> (samples[0], samples[1], numSamples);

        countFrames (0, numSamples);
        countFrames (1, numSamples);
    }
}

void ReverbStage::countFrames (int channel, int numSamples) noexcept
{
    auto& count = framesWritten[(size_t) channel];
    count = numSamples >= longestLine - count ? longestLine : count + numSamples;
}

template <bool allWritten>
void ReverbStage::processStereo (float* left, float* right, int numSamples) noexcept
{
    auto& [combsL, combsR] = combs;
    auto& [allPassesL, allPassesR] = allPasses;
    int writtenL = framesWritten[0], writtenR = framesWritten[1];

    for (int i = 0; i < numSamples; ++i)
    {
        const float input = (left[i] + right[i]) * gain;
        float outL = 0, outR = 0;

        const float damp = damping.getNextValue();
        const float feedbackLevel = feedback.getNextValue();

        // The combs in parallel, summed in order; then the all-passes in series.
        for (int j = 0; j < numCombs; ++j)
        {
            outL += combsL[(size_t) j].process<allWritten> (input, damp, feedbackLevel, writtenL);
            outR += combsR[(size_t) j].process<allWritten> (input, damp, feedbackLevel, writtenR);
        }

        for (int j = 0; j < numAllPasses; ++j)
        {
            outL = allPassesL[(size_t) j].process<allWritten> (outL, writtenL);
            outR = allPassesR[(size_t) j].process<allWritten> (outR, writtenR);
        }

        const float dry = dryGain.getNextValue();
        const float wet1 = wetGain1.getNextValue();
        const float wet2 = wetGain2.getNextValue();

        left[i] = outL * wet1 + outR * wet2 + left[i] * dry;
        right[i] = outR * wet1 + outL * wet2 + right[i] * dry;

        if constexpr (! allWritten)
        {
            ++writtenL;
            ++writtenR;
        }
    }
}

template <bool allWritten>
void ReverbStage::processMono (float* samples, int numSamples) noexcept
{
    auto& combsL = combs[0];
    auto& allPassesL = allPasses[0];
    int written = framesWritten[0];

    for (int i = 0; i < numSamples; ++i)
    {
        const float input = samples[i] * gain;
        float output = 0;

        const float damp = damping.getNextValue();
        const float feedbackLevel = feedback.getNextValue();

        for (int j = 0; j < numCombs; ++j)
            output += combsL[(size_t) j].process<allWritten> (input, damp, feedbackLevel, written);

        for (int j = 0; j < numAllPasses; ++j)
            output = allPassesL[(size_t) j].process<allWritten> (output, written);

        const float dry = dryGain.getNextValue();
        const float wet1 = wetGain1.getNextValue();

        samples[i] = output * wet1 + samples[i] * dry;

        if constexpr (! allWritten)
            ++written;
    }
}
