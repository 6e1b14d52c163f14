#pragma once

#include <algorithm>
#include <cmath>
#include <juce_core/juce_core.h>
#include <limits>
#include <optional>

// One line of an automation file: a macro takes a value from the start of the block that contains
// the given time (or from the given block), as a DAW's block-wise automation does.
struct AutomationEvent
{
    std::optional<double> seconds;    // from the start of the input...
    std::optional<juce::int64> block; // ...or a block index
    int macro = 0;                    // index into HostMacros::names()
    float value = 0.0f;               // 0 to 100

    juce::int64 blockIndex (double sampleRate, int blockSize) const
    {
        if (block.has_value())
            return *block;

        // Times far beyond any input land in a block that is never reached.
        const auto farBeyond = (double) std::numeric_limits<juce::int64>::max() / 2.0;
        const auto sample = (juce::int64) std::floor (std::min (*seconds * sampleRate, farBeyond));
        return sample / blockSize;
    }
};
