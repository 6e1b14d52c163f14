#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>

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

    // A state restored after preparation and before the first block (an LV2 host restores a session only
    // after the instantiation that prepares the plug-in) is where the audio starts, not glided to.
    hasProcessedSincePrepare = true;
    const auto targets = macroTargets();

    if (startAtRestoredValues.exchange (false))
        engine.jumpTo (targets);

    engine.process (buffer.getArrayOfWritePointers(), numChannels, numSamples, targets, readHostTempo());

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
    engine.processDryPathOnly (buffer.getArrayOfWritePointers(), numChannels, numSamples);

    // Controls moved while bypassed are where the engine starts when it comes back, without a glide.
    engine.jumpTo (macroTargets());
}

void VeldranoxAudioProcessor::crossfadeWithDryPath (juce::AudioBuffer<float>& output,
                                                    int numChannels,
                                                    int numSamples) noexcept
{
    const auto& dryPath = engine.dryPath();
    const int second = secondChannelIndex (numChannels);
    const float* dry[2] = { dryPath.getReadPointer (0), dryPath.getReadPointer (second) };
    float* out[2] = { output.getWritePointer (0), output.getWritePointer (second) };
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

    engine.clearTails();
}

MacroTargets VeldranoxAudioProcessor::macroTargets() const noexcept
{
    MacroTargets targets;

    for (size_t k = 0; k < targets.size(); ++k)
        targets[k] = macroValues[k]->load() * MacroRange::toEngine;

    return targets;
}

// The host's tempo as it reports it; the engine counts a tempo that is no number at all as none and holds
// the rest to its range.
double VeldranoxAudioProcessor::readHostTempo() const
{
    if (auto* host = getPlayHead())
        if (const auto position = host->getPosition())
            if (const auto hostBpm = position->getBpm())
                return *hostBpm;

    return Engine::defaultBpm;
}
