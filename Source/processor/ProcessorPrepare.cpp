#include "processor/VeldranoxAudioProcessor.h"

void VeldranoxAudioProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    const int numChannels =
        juce::jlimit (1, maxChannels, juce::jmax (getTotalNumInputChannels(), getTotalNumOutputChannels()));

    engine.prepare ({ sampleRate,
                      static_cast<juce::uint32> (juce::jmax (0, maximumExpectedSamplesPerBlock)),
                      static_cast<juce::uint32> (numChannels) });
    setLatencySamples (engine.latencySamples());

    // Start at the current values: a freshly prepared instance must not fade its controls in from zero.
    engine.jumpTo (macroTargets());
    hasProcessedSincePrepare = false;
    startAtRestoredValues = false;

    effectShare.reset (sampleRate, bypassFadeSeconds);
    bypassStateKnown = false;

    // JUCE's LV2 wrapper prepares the plug-in once, as it instantiates it.
    announceValuesToAnLv2Host();
}
