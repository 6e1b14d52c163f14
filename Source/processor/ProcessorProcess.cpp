#include "engine/GainLaws.h"
#include "engine/LastValueCache.h"
#include "engine/ReverbSettings.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>
#include <utility>

namespace
{
constexpr double defaultBpm = 120.0;
constexpr double minBpm = 20.0;
constexpr double maxBpm = 300.0;

constexpr float feedbackBase = 0.1f;
constexpr float feedbackPerSpace = 0.75f;
constexpr float reverbSendFromDelay = 0.75f;
constexpr float reverbSendFromDry = 0.6f;

// A NaN or infinity from an upstream plug-in would otherwise lodge in the delay ring, the reverb and
// the filters for good; such a sample is heard as silence instead.
void replaceNonFiniteWithSilence (float* samples, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        if (! std::isfinite (samples[i]))
            samples[i] = 0.0f;
}

// Once a ramp has ended getNextValue returns the target unchanged, so the rest of the lane is that value.
// The ramp runs on a local copy, which the stores into the lane cannot alias, so it stays in registers.
void renderLane (juce::LinearSmoothedValue<float>& smoother, float* lane, int numSamples) noexcept
{
    auto ramp = smoother;
    int i = 0;

    for (; i < numSamples && ramp.isSmoothing(); ++i)
        lane[i] = ramp.getNextValue();

    juce::FloatVectorOperations::fill (lane + i, ramp.getTargetValue(), numSamples - i);
    smoother = ramp;
}

} // namespace

void VeldranoxAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    process (buffer, Bypass::off);
}

void VeldranoxAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    process (buffer, Bypass::on);
}

void VeldranoxAudioProcessor::process (juce::AudioBuffer<float>& buffer, Bypass bypass)
{
    juce::ScopedNoDenormals noDenormals;

    const int ins = getTotalNumInputChannels();
    const int outs = getTotalNumOutputChannels();
    const int numSamples = buffer.getNumSamples();

    for (int ch = ins; ch < juce::jmin (outs, buffer.getNumChannels()); ++ch)
        buffer.clear (ch, 0, numSamples);

    const int numChannels = juce::jmax (0, juce::jmin (maxChannels, buffer.getNumChannels(), juce::jmax (1, outs)));

    if (numSamples < 1 || numChannels < 1)
        return;

    followBypass (bypass);

    if (isFullyBypassed())
    {
        passDryPathThrough (buffer, numChannels, numSamples);
        return;
    }

    // Shrinking or regrowing within the memory obtained in prepareToPlay reuses it.
    constexpr bool keepContent = false, clearExtraSpace = false, avoidReallocating = true;
    for (auto* work : { &dryBuffer, &delayBuffer, &reverbBuffer })
        work->setSize (numChannels, numSamples, keepContent, clearExtraSpace, avoidReallocating);
    controlBuffer.setSize (numLanes, numSamples, keepContent, clearExtraSpace, avoidReallocating);
    duckGainBuffer.setSize (1, numSamples, keepContent, clearExtraSpace, avoidReallocating);

    // A state restored after preparation and before the first block (an LV2 host restores a session only
    // after the instantiation that prepares the plug-in) is where the audio starts, not glided to.
    hasProcessedSincePrepare = true;

    if (startAtRestoredValues.exchange (false))
    {
        jumpControlsToParameters();
    }
    else
    {
        spaceSmoothed.setTargetValue (spaceParam->load() * 0.01f);
        gritSmoothed.setTargetValue (gritParam->load() * 0.01f);
        driftSmoothed.setTargetValue (driftParam->load() * 0.01f);
        meltSmoothed.setTargetValue (meltParam->load() * 0.01f);
    }

    renderControlLanes (numSamples);

    const int last = numSamples - 1;
    character.updateTone (controlBuffer.getSample (laneGrit, last));
    reverb.setParameters (reverbSettingsForSpace (controlBuffer.getSample (laneSpace, last)));

    const auto beatSamples = static_cast<float> (60.0 / readHostTempo() * currentSampleRate);
    const std::array<float, 2> delayTimes { beatSamples * 0.5f, beatSamples * 0.75f };

    runLookaheadDuckingAndDelay (buffer, numChannels, numSamples, delayTimes);
    runReverb (numChannels, numSamples);
    runCharacterStage (buffer, numChannels, numSamples);

    if (effectShare.isSmoothing())
        crossfadeWithDryPath (buffer, numChannels, numSamples);
}

void VeldranoxAudioProcessor::followBypass (Bypass bypass) noexcept
{
    const float target = bypass == Bypass::on ? 0.0f : 1.0f;

    if (bypassStateKnown)
    {
        effectShare.setTargetValue (target);
        return;
    }

    // A project opened with bypass on starts bypassed, not with a fade of an engine nobody asked for.
    effectShare.setCurrentAndTargetValue (target);
    bypassStateKnown = true;
}

bool VeldranoxAudioProcessor::isFullyBypassed() const noexcept
{
    return ! effectShare.isSmoothing() && effectShare.getTargetValue() == 0.0f;
}

void VeldranoxAudioProcessor::passDryPathThrough (juce::AudioBuffer<float>& buffer,
                                                  int numChannels,
                                                  int numSamples) noexcept
{
    // The same lookahead line as while processing, so the dry path runs on unbroken through a switch.
    for (int ch = 0; ch < numChannels; ++ch)
    {
        auto* x = buffer.getWritePointer (ch);
        sanitiseAndDelayByLookahead (ch, x, x, numSamples);
    }

    // Controls moved while bypassed are where the engine starts when it comes back, without a glide.
    jumpControlsToParameters();
}

void VeldranoxAudioProcessor::crossfadeWithDryPath (juce::AudioBuffer<float>& output,
                                                    int numChannels,
                                                    int numSamples) noexcept
{
    const float* dry[2] = { dryBuffer.getReadPointer (0), dryBuffer.getReadPointer (numChannels > 1 ? 1 : 0) };
    float* out[2] = { output.getWritePointer (0), output.getWritePointer (numChannels > 1 ? 1 : 0) };
    int i = 0;

    for (; i < numSamples && effectShare.isSmoothing(); ++i)
    {
        const float share = effectShare.getNextValue();

        for (int ch = 0; ch < numChannels; ++ch)
            out[ch][i] = share * out[ch][i] + (1.0f - share) * dry[ch][i];
    }

    if (! isFullyBypassed())
        return;

    // The fade-out has ended: the rest of the block is the dry path exactly, and the delay and reverb
    // tails are dropped, so that releasing bypass starts the engine from silence, not from stale echoes.
    for (int ch = 0; ch < numChannels; ++ch)
        juce::FloatVectorOperations::copy (out[ch] + i, dry[ch] + i, numSamples - i);

    resetEngine();
}

void VeldranoxAudioProcessor::jumpControlsToParameters() noexcept
{
    spaceSmoothed.setCurrentAndTargetValue (spaceParam->load() * 0.01f);
    gritSmoothed.setCurrentAndTargetValue (gritParam->load() * 0.01f);
    driftSmoothed.setCurrentAndTargetValue (driftParam->load() * 0.01f);
    meltSmoothed.setCurrentAndTargetValue (meltParam->load() * 0.01f);
}

void VeldranoxAudioProcessor::resetEngine() noexcept
{
    modDelay.reset();
    character.reset();
    reverb.reset();
    lowCut.reset();
    duckEnvelope = 0.0f;
}

void VeldranoxAudioProcessor::renderControlLanes (int numSamples)
{
    renderLane (spaceSmoothed, controlBuffer.getWritePointer (laneSpace), numSamples);
    renderLane (gritSmoothed, controlBuffer.getWritePointer (laneGrit), numSamples);
    renderLane (driftSmoothed, controlBuffer.getWritePointer (laneDrift), numSamples);
    renderLane (meltSmoothed, controlBuffer.getWritePointer (laneMelt), numSamples);

    const auto* melt = controlBuffer.getReadPointer (laneMelt);
    auto* dryGain = controlBuffer.getWritePointer (laneDryGain);
    auto* wetGain = controlBuffer.getWritePointer (laneWetGain);
    LastValueCache<float> wet, dry;

    for (int i = 0; i < numSamples; ++i)
    {
        wetGain[i] = wet.get (melt[i], MeltLaws::wetGain);
        dryGain[i] = dry.get (melt[i], MeltLaws::dryGain);
    }
}

double VeldranoxAudioProcessor::readHostTempo() const
{
    double bpm = defaultBpm;

    // A tempo that is no number at all (NaN from a broken tempo map, or an infinity) counts as none: the
    // clamp would pass NaN on to the delay times and pin infinities to an end of the range.
    if (auto* host = getPlayHead())
        if (const auto position = host->getPosition())
            if (const auto hostBpm = position->getBpm(); hostBpm && std::isfinite (*hostBpm))
                bpm = *hostBpm;

    return juce::jlimit (minBpm, maxBpm, bpm);
}

void VeldranoxAudioProcessor::runLookaheadDuckingAndDelay (juce::AudioBuffer<float>& input,
                                                           int numChannels,
                                                           int numSamples,
                                                           const std::array<float, 2>& delayTimes)
{
    for (int ch = 0; ch < numChannels; ++ch)
        sanitiseAndDelayByLookahead (ch, input.getWritePointer (ch), dryBuffer.getWritePointer (ch), numSamples);

    followInputLevel (input, numChannels, numSamples);
    runDelayNetwork (numChannels, numSamples, delayTimes);
}

void VeldranoxAudioProcessor::sanitiseAndDelayByLookahead (int channel,
                                                           float* input,
                                                           float* dry,
                                                           int numSamples) noexcept
{
    replaceNonFiniteWithSilence (input, numSamples);

    // Pushed first, then popped at the set delay: dry[i] is the input lookaheadSamples samples earlier.
    // Each input sample is read before dry[i] is written, so dry may be the input itself.
    for (int i = 0; i < numSamples; ++i)
    {
        lookahead.pushSample (channel, input[i]);
        dry[i] = lookahead.popSample (channel);
    }
}

void VeldranoxAudioProcessor::followInputLevel (const juce::AudioBuffer<float>& input, int numChannels, int numSamples)
{
    const auto* melt = controlBuffer.getReadPointer (laneMelt);
    auto* duckGain = duckGainBuffer.getWritePointer (0);
    // x / 1 and x / 2 round the same real numbers as x × 1 and x × 0.5: the same floats, without a division.
    const float inverseChannelCount = numChannels == 1 ? 1.0f : 0.5f;
    const float* x[2] = { input.getReadPointer (0), input.getReadPointer (numChannels > 1 ? 1 : 0) };

    // The level is taken before the lookahead, so the ducking leads the dry path it rides on. The follower
    // runs in locals, which the stores into duckGain cannot alias.
    float envelope = duckEnvelope;
    const float attack = duckAttackCoeff, release = duckReleaseCoeff;

    for (int i = 0; i < numSamples; ++i)
    {
        float sum = 0.0f;

        for (int ch = 0; ch < numChannels; ++ch)
            sum = sum + x[ch][i];

        const float level = std::abs (sum * inverseChannelCount);
        const float c = level > envelope ? attack : release;
        envelope = (1.0f - c) * level + c * envelope;
        duckGain[i] = envelope;
    }

    duckEnvelope = envelope;

    // The follower above is a chain from sample to sample; the gain law is not, so it runs on its own.
    // A reduction pinned at its ceiling repeats its exponent while MELT rests.
    LastValueCache<float> power;
    const auto tenToThe = [&power] (float exponent)
    { return power.get (exponent, [] (float e) { return std::pow (10.0f, e); }); };

    for (int i = 0; i < numSamples; ++i)
        duckGain[i] = Ducking::gain (duckGain[i], melt[i], tenToThe);
}

void VeldranoxAudioProcessor::runDelayNetwork (int numChannels, int numSamples, const std::array<float, 2>& delayTimes)
{
    const auto* space = controlBuffer.getReadPointer (laneSpace);
    const auto* drift = controlBuffer.getReadPointer (laneDrift);
    const float* dry[2] = { dryBuffer.getReadPointer (0), dryBuffer.getReadPointer (numChannels > 1 ? 1 : 0) };
    float* delayed[2] = { delayBuffer.getWritePointer (0), delayBuffer.getWritePointer (numChannels > 1 ? 1 : 0) };

    constexpr int chunk = 256;
    std::array<float, chunk> feedback;

    for (int start = 0; start < numSamples; start += chunk)
    {
        const int length = juce::jmin (chunk, numSamples - start);

        for (int i = 0; i < length; ++i)
            feedback[(size_t) i] = feedbackPerSpace * space[start + i] + feedbackBase;

        const float* in[2] = { dry[0] + start, dry[1] + start };
        float* out[2] = { delayed[0] + start, delayed[1] + start };
        modDelay.processBlock (in, out, numChannels, length, delayTimes, feedback.data(), drift + start);
    }
}

void VeldranoxAudioProcessor::runReverb (int numChannels, int numSamples)
{
    for (int ch = 0; ch < numChannels; ++ch)
    {
        reverbBuffer.clear (ch, 0, numSamples);
        reverbBuffer.addFrom (ch, 0, delayBuffer, ch, 0, numSamples, reverbSendFromDelay);
        reverbBuffer.addFrom (ch, 0, dryBuffer, ch, 0, numSamples, reverbSendFromDry);
    }

    juce::dsp::AudioBlock<float> block (
        reverbBuffer.getArrayOfWritePointers(), static_cast<size_t> (numChannels), static_cast<size_t> (numSamples));
    reverb.process (juce::dsp::ProcessContextReplacing<float> (block));
}

void VeldranoxAudioProcessor::runCharacterStage (juce::AudioBuffer<float>& output, int numChannels, int numSamples)
{
    const auto* space = controlBuffer.getReadPointer (laneSpace);
    const auto* grit = controlBuffer.getReadPointer (laneGrit);
    const auto* wetGain = controlBuffer.getReadPointer (laneWetGain);
    const auto* dryGain = controlBuffer.getReadPointer (laneDryGain);
    const auto* duckGain = duckGainBuffer.getReadPointer (0);

    // The input has been used up, so the host's channels carry the wet signal from the blend to the mix.
    for (int ch = 0; ch < numChannels; ++ch)
    {
        const auto* wetReverb = reverbBuffer.getReadPointer (ch);
        const auto* wetDelay = delayBuffer.getReadPointer (ch);
        auto* wet = output.getWritePointer (ch);

        for (int i = 0; i < numSamples; ++i)
        {
            const float reverbShare = space[i] * 0.45f + 0.35f;
            wet[i] = reverbShare * wetReverb[i] + (1.0f - reverbShare) * wetDelay[i];
        }
    }

    character.processBlock (output.getArrayOfWritePointers(), numChannels, grit, numSamples);

    // Sample by sample across the channels: each channel's filter is a chain from sample to sample, and
    // the chains of two channels can run side by side.
    const float* dry[2] = { dryBuffer.getReadPointer (0), dryBuffer.getReadPointer (numChannels > 1 ? 1 : 0) };
    float* out[2] = { output.getWritePointer (0), output.getWritePointer (numChannels > 1 ? 1 : 0) };

    for (int i = 0; i < numSamples; ++i)
        for (int ch = 0; ch < numChannels; ++ch)
        {
            const float y = lowCut.processSample (ch, out[ch][i]);
            out[ch][i] = (y * duckGain[i]) * wetGain[i] + dryGain[i] * dry[ch][i];
        }
}
