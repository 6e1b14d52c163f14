#pragma once

#include "BenchCase.h"
#include "MacroSweep.h"
#include "NoiseSource.h"
#include "processor/VeldranoxAudioProcessor.h"

// The processor set up as a host sets it up: layout, parameter values through the host interface,
// prepareToPlay, then one block after another over a noise input.
class ProcessorRig
{
public:
    // Typical programme material: uniform noise at a peak of -6 dBFS.
    static constexpr float typicalPeak = 0.5f;

    explicit ProcessorRig (const BenchCase& benchCase, float inputPeak = typicalPeak);

    // The host's share of a block: the fresh input and, when automated, the new parameter values.
    void prepareNextBlock();

    // The plug-in's share of a block.
    void processBlock() { processor.processBlock (input.buffer(), midi); }

    // Untimed blocks, so followers, smoothers and delay lines reach their running state.
    void runFor (double seconds);

    void setInputPeak (float peak) { input.setPeak (peak); }

private:
    MacroSweep::Values fixedValues() const;
    void setMacros (const MacroSweep::Values& normalised);

    BenchCase benchCase;
    VeldranoxAudioProcessor processor;
    std::array<juce::AudioProcessorParameter*, MacroSweep::numMacros> macros {}; // SPACE, GRIT, DRIFT, MELT
    MacroSweep sweep;
    NoiseSource input;
    juce::MidiBuffer midi;
};
