#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>

namespace
{
constexpr double smootherRampSeconds = 0.05;
constexpr float lookaheadSeconds = 0.003f;
constexpr float duckAttackSeconds = 0.002f;
constexpr float duckReleaseSeconds = 0.14f;
} // namespace

void VeldranoxAudioProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    const int numChannels = juce::jmax (1, juce::jmax (getTotalNumInputChannels(), getTotalNumOutputChannels()));
    const auto rate = static_cast<float> (sampleRate);

    currentSampleRate = sampleRate;

    modDelay.prepare (sampleRate);
    character.prepare (sampleRate);

    duckAttackCoeff = std::exp (-1.0f / (rate * duckAttackSeconds));
    duckReleaseCoeff = std::exp (-1.0f / (rate * duckReleaseSeconds));
    duckEnvelope = 0.0f;

    const juce::dsp::ProcessSpec spec { sampleRate,
                                        static_cast<juce::uint32> (juce::jmax (1, maximumExpectedSamplesPerBlock)),
                                        static_cast<juce::uint32> (numChannels) };

    reverb.prepare (spec);
    reverb.reset();

    lowCut.prepare (spec);
    lowCut.setType (juce::dsp::StateVariableTPTFilterType::highpass);
    lowCut.setCutoffFrequency (CharacterState::lowCutFrequency);
    lowCut.reset();

    lookaheadSamples = static_cast<int> (std::round (rate * lookaheadSeconds));
    lookahead.setMaximumDelayInSamples (juce::jmax (1, lookaheadSamples + 1));
    lookahead.prepare (spec);
    lookahead.setDelay (static_cast<float> (lookaheadSamples));
    lookahead.reset();

    setLatencySamples (lookaheadSamples);

    for (auto* smoother : { &spaceSmoothed, &gritSmoothed, &driftSmoothed, &meltSmoothed })
        smoother->reset (sampleRate, smootherRampSeconds);

    // Start at the current values: a freshly prepared instance must not fade its controls in from zero.
    spaceSmoothed.setCurrentAndTargetValue (spaceParam->load() * 0.01f);
    gritSmoothed.setCurrentAndTargetValue (gritParam->load() * 0.01f);
    driftSmoothed.setCurrentAndTargetValue (driftParam->load() * 0.01f);
    meltSmoothed.setCurrentAndTargetValue (meltParam->load() * 0.01f);
    hasProcessedSincePrepare = false;
    startAtRestoredValues = false;

    dryBuffer.setSize (numChannels, maximumExpectedSamplesPerBlock);
    delayBuffer.setSize (numChannels, maximumExpectedSamplesPerBlock);
    reverbBuffer.setSize (numChannels, maximumExpectedSamplesPerBlock);
    controlBuffer.setSize (numLanes, maximumExpectedSamplesPerBlock);
    duckGainBuffer.setSize (1, maximumExpectedSamplesPerBlock);

    // JUCE's LV2 wrapper prepares the plug-in once, as it instantiates it.
    announceValuesToAnLv2Host();
}
