#pragma once

#include "processor/VeldranoxAudioProcessor.h"

// Read and write access to the engine's private members, so that tests can look at the work buffers,
// the control lanes and the stage states between blocks.
struct EngineProbe
{
    using Processor = VeldranoxAudioProcessor;

    static constexpr int laneSpace = Processor::laneSpace;
    static constexpr int laneGrit = Processor::laneGrit;
    static constexpr int laneDrift = Processor::laneDrift;
    static constexpr int laneMelt = Processor::laneMelt;
    static constexpr int laneDryGain = Processor::laneDryGain;
    static constexpr int laneWetGain = Processor::laneWetGain;

    static const juce::AudioBuffer<float>& controlBuffer (const Processor& p) { return p.controlBuffer; }
    static const juce::AudioBuffer<float>& dryBuffer (const Processor& p) { return p.dryBuffer; }
    static const juce::AudioBuffer<float>& delayBuffer (const Processor& p) { return p.delayBuffer; }
    static const juce::AudioBuffer<float>& reverbBuffer (const Processor& p) { return p.reverbBuffer; }
    static const juce::AudioBuffer<float>& duckGainBuffer (const Processor& p) { return p.duckGainBuffer; }

    static float lane (const Processor& p, int laneIndex, int sample)
    {
        return p.controlBuffer.getSample (laneIndex, sample);
    }

    static float duckGain (const Processor& p, int sample) { return p.duckGainBuffer.getSample (0, sample); }
    static float duckEnvelope (const Processor& p) { return p.duckEnvelope; }
    static int lookaheadSamples (const Processor& p) { return p.lookaheadSamples; }
    static double currentSampleRate (const Processor& p) { return p.currentSampleRate; }

    static ModulatedDelay& modDelay (Processor& p) { return p.modDelay; }
    static CharacterState& character (Processor& p) { return p.character; }
    static juce::dsp::StateVariableTPTFilter<float>& lowCut (Processor& p) { return p.lowCut; }
    static const juce::dsp::Reverb& reverb (const Processor& p) { return p.reverb; }

    static const juce::LinearSmoothedValue<float>& spaceSmoothed (const Processor& p) { return p.spaceSmoothed; }
    static const juce::LinearSmoothedValue<float>& gritSmoothed (const Processor& p) { return p.gritSmoothed; }
    static const juce::LinearSmoothedValue<float>& driftSmoothed (const Processor& p) { return p.driftSmoothed; }
    static const juce::LinearSmoothedValue<float>& meltSmoothed (const Processor& p) { return p.meltSmoothed; }
};
