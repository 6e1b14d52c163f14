#pragma once

#include "engine/Engine.h"
#include "processor/VeldranoxAudioProcessor.h"

// The engine inside a processor, for tests that look at its parts between the processor's blocks. Only
// the engine itself is private to the processor; what the engine left in its lanes, paths and stages
// it shows through its own read-only accessors, used here by their test names.
struct EngineProbe
{
    using Processor = VeldranoxAudioProcessor;

    static const Engine& engine (const Processor& p) { return p.engine; }

    // A macro's lane is its MacroIndex; these follow them.
    static constexpr int laneDryGain = Engine::laneDryGain;
    static constexpr int laneWetGain = Engine::laneWetGain;

    static const juce::AudioBuffer<float>& controlBuffer (const Processor& p) { return engine (p).controlLanes(); }
    static const juce::AudioBuffer<float>& dryBuffer (const Processor& p) { return engine (p).dryPath(); }
    static const juce::AudioBuffer<float>& delayBuffer (const Processor& p) { return engine (p).delayPath(); }
    static const juce::AudioBuffer<float>& reverbBuffer (const Processor& p) { return engine (p).reverbPath(); }
    static const juce::AudioBuffer<float>& duckGainBuffer (const Processor& p) { return engine (p).duckGains(); }

    static float lane (const Processor& p, int laneIndex, int sample)
    {
        return controlBuffer (p).getSample (laneIndex, sample);
    }

    static float duckGain (const Processor& p, int sample) { return duckGainBuffer (p).getSample (0, sample); }
    static float duckEnvelope (const Processor& p) { return engine (p).duckEnvelope(); }
    static int lookaheadSamples (const Processor& p) { return engine (p).latencySamples(); }
    static double currentSampleRate (const Processor& p) { return engine (p).getSampleRate(); }

    static const ModulatedDelay& modulatedDelay (const Processor& p) { return engine (p).getModulatedDelay(); }
    static const CharacterStage& character (const Processor& p) { return engine (p).characterStage(); }
    static const juce::dsp::StateVariableTPTFilter<float>& lowCut (const Processor& p)
    {
        return engine (p).lowCutFilter();
    }
    static const ReverbStage& reverb (const Processor& p) { return engine (p).reverbStage(); }

    static const juce::LinearSmoothedValue<float>& spaceSmoothed (const Processor& p)
    {
        return engine (p).macroControl (macroSpace).getSmoother();
    }
};
