#pragma once

#include "engine/CharacterState.h"
#include "engine/ModulatedDelay.h"

#include <atomic>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

struct EngineProbe; // test access to the engine's work buffers

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

    // Lanes of controlBuffer, one value per sample.
    enum Lane
    {
        laneSpace = 0,
        laneGrit,
        laneDrift,
        laneMelt,
        laneDryGain,
        laneWetGain,
        numLanes
    };

    void renderControlLanes (int numSamples);
    double readHostTempo() const;
    void runLookaheadDuckingAndDelay (juce::AudioBuffer<float>& input,
                                      int numChannels,
                                      int numSamples,
                                      const std::array<float, 2>& delayTimes);
    void delayByLookahead (int channel, const float* input, float* dry, int numSamples) noexcept;
    void followInputLevel (const juce::AudioBuffer<float>& input, int numChannels, int numSamples);
    void runDelayNetwork (int numChannels, int numSamples, const std::array<float, 2>& delayTimes);
    void runReverb (int numChannels, int numSamples);
    void runCharacterStage (juce::AudioBuffer<float>& output, int numChannels, int numSamples);

    std::atomic<float>* spaceParam = nullptr;
    std::atomic<float>* gritParam = nullptr;
    std::atomic<float>* driftParam = nullptr;
    std::atomic<float>* meltParam = nullptr;

    juce::LinearSmoothedValue<float> spaceSmoothed;
    juce::LinearSmoothedValue<float> gritSmoothed;
    juce::LinearSmoothedValue<float> driftSmoothed;
    juce::LinearSmoothedValue<float> meltSmoothed;
    std::atomic<bool> hasProcessedSincePrepare { false };
    std::atomic<bool> startAtRestoredValues { false };

    ModulatedDelay modDelay;
    CharacterState character;

    float duckAttackCoeff = 0.99f;
    float duckReleaseCoeff = 0.9999f;
    float duckEnvelope = 0.0f;

    juce::dsp::Reverb reverb;
    juce::dsp::StateVariableTPTFilter<float> lowCut;
    juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::None> lookahead { 512 };

    juce::AudioBuffer<float> dryBuffer;
    juce::AudioBuffer<float> delayBuffer;
    juce::AudioBuffer<float> reverbBuffer;
    juce::AudioBuffer<float> controlBuffer;
    juce::AudioBuffer<float> duckGainBuffer;

    double currentSampleRate = 44100.0;
    int lookaheadSamples = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VeldranoxAudioProcessor)
};
