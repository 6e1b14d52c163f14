#pragma once

#include "engine/CharacterStage.h"
#include "engine/Dynamics.h"
#include "engine/MacroTable.h"
#include "engine/ModulatedDelay.h"
#include "engine/ReverbStage.h"
#include "engine/StageBasics.h"

#include <array>
#include <juce_dsp/juce_dsp.h>

// Where the macros are heading, each from 0 to 1, in the macro table's order.
using MacroTargets = std::array<float, numMacros>;

// One macro inside the engine: the smoother that glides it to its target and fills the macro's lane of
// the control buffer with one value per sample.
class MacroControl
{
public:
    void prepare (const juce::dsp::ProcessSpec& spec) noexcept { smoother.reset (spec.sampleRate, rampSeconds); }
    void jumpTo (float target) noexcept { smoother.setCurrentAndTargetValue (target); }
    void glideTo (float target) noexcept { smoother.setTargetValue (target); }

    // Once a ramp has ended getNextValue returns the target unchanged, so the rest of the lane is that
    // value. The ramp runs on a local copy, which the stores into the lane cannot alias, so it stays in
    // registers.
    void render (float* values, int numSamples) noexcept
    {
        auto ramp = smoother;
        int i = 0;

        for (; i < numSamples && ramp.isSmoothing(); ++i)
            values[i] = ramp.getNextValue();

        juce::FloatVectorOperations::fill (values + i, ramp.getTargetValue(), numSamples - i);
        smoother = ramp;
    }

    const juce::LinearSmoothedValue<float>& getSmoother() const noexcept { return smoother; }

private:
    static constexpr double rampSeconds = 0.05;

    juce::LinearSmoothedValue<float> smoother;
};

// The whole effect, without the plug-in around it: the input is cleaned and delayed by the lookahead
// (the dry path), its level ducks the wet path, the dry path feeds the tempo-synchronised modulated delay
// and, with the delays, the reverb; the two are blended, coloured by the character stage, low-cut and
// mixed back with the dry path. All memory is obtained in prepare(); processing never allocates.
class Engine
{
public:
    // The delay times follow this tempo when there is none, and the tempo is held to this range.
    static constexpr double defaultBpm = 120.0;
    static constexpr double minBpm = 20.0;
    static constexpr double maxBpm = 300.0;

    // The low cut after the character stage keeps the wet path's low end out of the mix.
    static constexpr float lowCutFrequency = 150.0f;

    // The layout's channel count sets the work buffers' first size; the per-channel stages are prepared for
    // both channels, so that a block in a wider layout than this one finds its state.
    void prepare (const juce::dsp::ProcessSpec& spec);

    // Clears the memory of every stage, the lookahead included, as prepare() leaves it; the controls and
    // the settings that follow them stay.
    void reset() noexcept;

    // Clears the wet path's memory (the echoes, the reverb tail, the followers and filters) but not the
    // lookahead, so the dry path runs on unbroken. In constant time, whatever the sample rate: the delay ring
    // and the reverb's lines are not written over but count as silence until they have been written again.
    void clearTails() noexcept;

    // The delay of the dry path, in samples: the lookahead that lets the ducking lead it.
    int latencySamples() const noexcept { return lookaheadSamples; }

    // Sets the controls to these values at once, without a glide.
    void jumpTo (const MacroTargets& targets) noexcept;

    // Processes numSamples samples of one or two channels in place, the controls gliding to the targets.
    void process (float* const* channels, int numChannels, int numSamples, const MacroTargets& targets, double bpm);

    // The dry path alone (the input cleaned and delayed by the lookahead), in place: what the output is
    // while the engine is switched off, through the same lookahead, so that switching is seamless.
    void processDryPathOnly (float* const* channels, int numChannels, int numSamples) noexcept;

    // Lanes of the control buffer, one value per sample: first one per macro, a macro's lane being its
    // MacroIndex, then the gains derived from MELT.
    enum Lane
    {
        laneDryGain = numMacros,
        laneWetGain,
        numLanes
    };

    // What the last block left in each part, for inspection between blocks.
    const juce::AudioBuffer<float>& controlLanes() const noexcept { return controlBuffer; }
    const juce::AudioBuffer<float>& dryPath() const noexcept { return dryBuffer; }
    const juce::AudioBuffer<float>& delayPath() const noexcept { return delayBuffer; }
    const juce::AudioBuffer<float>& reverbPath() const noexcept { return reverbBuffer; }
    const juce::AudioBuffer<float>& duckGains() const noexcept { return duckGainBuffer; }
    float duckEnvelope() const noexcept { return duckerEnvelope; }
    double getSampleRate() const noexcept { return sampleRate; }

    const ModulatedDelay& getModulatedDelay() const noexcept { return modulatedDelay; }
    const CharacterStage& characterStage() const noexcept { return character; }
    const juce::dsp::StateVariableTPTFilter<float>& lowCutFilter() const noexcept { return lowCut; }
    const ReverbStage& reverbStage() const noexcept { return reverb; }

    const MacroControl& macroControl (MacroIndex macro) const noexcept { return macros[macro]; }

private:
    void setWorkBufferSizes (int numChannels, int numSamples) noexcept;
    void glideTo (const MacroTargets& targets) noexcept;
    void renderControlLanes (int numSamples);
    std::array<float, 2> delayTimesFor (double bpm) const noexcept;
    void cleanAndDelayByLookahead (int channel, float* input, float* dry, int numSamples) noexcept;
    void followInputLevelAndDuck (const float* const* input, int numChannels, int numSamples);
    void runModulatedDelay (int numChannels, int numSamples, const std::array<float, 2>& delayTimes);
    void runReverb (int numChannels, int numSamples);
    void blendDelayAndReverb (float* const* wet, int numChannels, int numSamples) noexcept;
    void lowCutAndMix (float* const* output, int numChannels, int numSamples) noexcept;

    std::array<MacroControl, numMacros> macros;

    juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::None> lookahead { 512 };
    EnvelopeFollower duckFollower;
    float duckerEnvelope = 0.0f;
    ModulatedDelay modulatedDelay;
    ReverbStage reverb;
    CharacterStage character;
    juce::dsp::StateVariableTPTFilter<float> lowCut;

    juce::AudioBuffer<float> dryBuffer;
    juce::AudioBuffer<float> delayBuffer;
    juce::AudioBuffer<float> reverbBuffer;
    juce::AudioBuffer<float> controlBuffer;
    juce::AudioBuffer<float> duckGainBuffer;

    double sampleRate = 44100.0;
    int lookaheadSamples = 0;
};
