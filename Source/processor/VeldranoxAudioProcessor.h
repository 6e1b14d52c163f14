#pragma once

#include "engine/Engine.h"
#include "engine/MacroTable.h"

#include <array>
#include <atomic>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

struct EngineProbe; // test access to the engine inside the plug-in

class VeldranoxAudioProcessor final : public juce::AudioProcessor
{
public:
    VeldranoxAudioProcessor();
    ~VeldranoxAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using juce::AudioProcessor::processBlock;

    // The host's own bypass (VST3's "Bypass", LV2's enabled port): the input delayed by the reported
    // latency, reached and left through a short crossfade.
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using juce::AudioProcessor::processBlockBypassed;

    // How long the effect takes to fade out when bypass engages, and back in when it is released.
    static constexpr double bypassFadeSeconds = 0.01;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    juce::AudioProcessorValueTreeState parameters;

private:
    friend struct EngineProbe;

    static BusesProperties makeBusesProperties();
    void keepValuesMissingFrom (juce::ValueTree& restored) const;
    void announceValuesToAnLv2Host();

    enum class Bypass
    {
        off,
        on
    };

    // processBlock and processBlockBypassed both end here: the engine runs unless the output is the dry
    // path alone.
    void process (juce::AudioBuffer<float>& buffer, Bypass bypass);
    void followBypass (Bypass bypass) noexcept;
    bool isFullyBypassed() const noexcept;
    void passDryPathThrough (juce::AudioBuffer<float>& buffer, int numChannels, int numSamples) noexcept;
    void crossfadeWithDryPath (juce::AudioBuffer<float>& output, int numChannels, int numSamples) noexcept;
    MacroTargets macroTargets() const noexcept;
    double readHostTempo() const;

    // The macros' current values, in the order of the macro table.
    std::array<std::atomic<float>*, numMacros> macroValues {};

    std::atomic<bool> hasProcessedSincePrepare { false };
    std::atomic<bool> startAtRestoredValues { false };

    Engine engine;

    // The engine's share of the output: 1 while processing, 0 while bypassed, a linear ramp between.
    juce::LinearSmoothedValue<float> effectShare;
    // Cleared by prepareToPlay: the first block after it starts in its own state, without a fade.
    bool bypassStateKnown = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VeldranoxAudioProcessor)
};
