#pragma once

#include "BenchCase.h"
#include "MacroSweep.h"
#include "NoiseSource.h"
#include "SettableTempo.h"
#include "processor/VeldranoxAudioProcessor.h"

// The processor set up as a host sets it up: layout, parameter values through the host interface,
// prepareToPlay, then one block after another over a noise input.
class ProcessorRig
{
public:
    // Full-scale noise: the loudest input, which drives the ducking and the leveller hardest.
    static constexpr float fullScalePeak = 1.0f;

    explicit ProcessorRig (const BenchCase& benchCase, float inputPeak = NoiseSource::typicalPeak);

    // The host's share of a block: the fresh input and, when automated, the new parameter values.
    void prepareNextBlock();

    // The plug-in's share of a block: processBlockBypassed while the host's bypass is on, as JUCE's
    // plug-in wrappers call it.
    void processBlock()
    {
        if (hostBypass)
            processor.processBlockBypassed (input.buffer(), midi);
        else
            processor.processBlock (input.buffer(), midi);
    }

    // The block processBlock works on next, after prepareNextBlock has filled it.
    const juce::AudioBuffer<float>& nextBlock() noexcept { return input.buffer(); }

    // Untimed blocks, so followers, smoothers and delay lines reach their running state.
    void runFor (double seconds);

    void setInputPeak (float peak) noexcept { input.setPeak (peak); }
    void setHostBypass (bool on) noexcept { hostBypass = on; }

    // What a host does when it restarts its audio: prepareToPlay again, with the same rate and block size.
    void prepareAgain() { processor.prepareToPlay (benchCase.sampleRate, benchCase.blockSize); }

    // From the first call on, the processor has a host transport that reports this tempo; without one it
    // runs at the engine's default tempo.
    void setHostTempo (double bpm)
    {
        transport.bpm = bpm;
        processor.setPlayHead (&transport);
    }

private:
    MacroSweep::Values fixedValues() const;
    void setMacros (const MacroSweep::Values& normalised);

    BenchCase benchCase;
    SettableTempo transport; // before the processor, which keeps a pointer to it
    VeldranoxAudioProcessor processor;
    std::array<juce::AudioProcessorParameter*, MacroSweep::numMacros> macros {}; // SPACE, GRIT, DRIFT, MELT
    MacroSweep sweep;
    NoiseSource input;
    juce::MidiBuffer midi;
    bool hostBypass = false;
};
