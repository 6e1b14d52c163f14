#pragma once

#include "BenchCase.h"
#include "engine/MacroLaws.h"
#include "engine/MacroTable.h"

#include <juce_dsp/juce_dsp.h>

// JUCE's reverb alone, fully wet, with what the plug-in hands its own reverb at the default SPACE of 40,
// prepared for the rate, block and channel count of a case: the floor the plug-in's cost is read against.
class ReverbFloor
{
public:
    explicit ReverbFloor (const BenchCase& shape)
    {
        reverb.prepare ({ shape.sampleRate,
                          static_cast<juce::uint32> (shape.blockSize),
                          static_cast<juce::uint32> (shape.numChannels) });
        reverb.reset();
        reverb.setParameters (SpaceLaws::reverbSettings (macroTable[macroSpace].defaultValue * MacroRange::toEngine));
    }

    // In place, as the plug-in processes its block.
    void process (juce::AudioBuffer<float>& io) noexcept
    {
        juce::dsp::AudioBlock<float> block (io);
        reverb.process (juce::dsp::ProcessContextReplacing<float> (block));
    }

private:
    juce::dsp::Reverb reverb;
};
