#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// A host transport whose tempo a test may change between blocks.
class SettableTempo final : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setBpm (bpm);
        return info;
    }

    double bpm = 120.0;
};
