#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>

namespace
{
constexpr double smootherRampSeconds = 0.05;
constexpr float lookaheadSeconds = 0.003f;
constexpr float duckAttackSeconds = 0.002f;
constexpr float duckReleaseSeconds = 0.14f;

// Sized for both channels, then set to the layout's count: a block in a wider layout regrows the
// buffer within the memory already there instead of allocating on the audio thread.
void reserveForAllChannels (juce::AudioBuffer<float>& buffer, int numChannels, int numSamples, int maxChannels)
{
    constexpr bool keepContent = false, clearExtraSpace = false, avoidReallocating = true;
    buffer.setSize (maxChannels, numSamples);
    buffer.setSize (numChannels, numSamples, keepContent, clearExtraSpace, avoidReallocating);
}
} // namespace

void VeldranoxAudioProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    const int numChannels =
        juce::jlimit (1, maxChannels, juce::jmax (getTotalNumInputChannels(), getTotalNumOutputChannels()));
    const auto rate = static_cast<float> (sampleRate);

    currentSampleRate = sampleRate;

    modDelay.prepare (sampleRate);
    character.prepare (sampleRate);

    duckAttackCoeff = std::exp (-1.0f / (rate * duckAttackSeconds));
    duckReleaseCoeff = std::exp (-1.0f / (rate * duckReleaseSeconds));

    const juce::dsp::ProcessSpec spec { sampleRate,
                                        static_cast<juce::uint32> (juce::jmax (1, maximumExpectedSamplesPerBlock)),
                                        static_cast<juce::uint32> (maxChannels) };

    reverb.prepare (spec);

    lowCut.prepare (spec);
    lowCut.setType (juce::dsp::StateVariableTPTFilterType::highpass);
    lowCut.setCutoffFrequency (CharacterState::lowCutFrequency);

    lookaheadSamples = static_cast<int> (std::round (rate * lookaheadSeconds));
    lookahead.setMaximumDelayInSamples (juce::jmax (1, lookaheadSamples + 1));
    lookahead.prepare (spec);
    lookahead.setDelay (static_cast<float> (lookaheadSamples));
    lookahead.reset();

    resetEngine();
    setLatencySamples (lookaheadSamples);

    for (auto* smoother : { &spaceSmoothed, &gritSmoothed, &driftSmoothed, &meltSmoothed })
        smoother->reset (sampleRate, smootherRampSeconds);

    // Start at the current values: a freshly prepared instance must not fade its controls in from zero.
    jumpControlsToParameters();
    hasProcessedSincePrepare = false;
    startAtRestoredValues = false;

    effectShare.reset (sampleRate, bypassFadeSeconds);
    bypassStateKnown = false;

    for (auto* audio : { &dryBuffer, &delayBuffer, &reverbBuffer })
        reserveForAllChannels (*audio, numChannels, maximumExpectedSamplesPerBlock, maxChannels);
    controlBuffer.setSize (numLanes, maximumExpectedSamplesPerBlock);
    duckGainBuffer.setSize (1, maximumExpectedSamplesPerBlock);

    // JUCE's LV2 wrapper prepares the plug-in once, as it instantiates it.
    announceValuesToAnLv2Host();
}
