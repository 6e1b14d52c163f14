// Arbitrary bytes as a saved state: whatever a damaged project file holds, a restore must leave every
// control at a usable value, and what is saved afterwards must round-trip exactly.
#include "FuzzEnvironment.h"
#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <cmath>
#include <cstdint>

namespace
{
constexpr const char* ids[] = { ParameterIDs::space, ParameterIDs::grit, ParameterIDs::drift, ParameterIDs::melt };

float rawValue (VeldranoxAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

void requireUsableControls (VeldranoxAudioProcessor& processor)
{
    for (const auto* id : ids)
    {
        const float value = rawValue (processor, id);
        VELDRANOX_FUZZ_REQUIRE (std::isfinite (value) && value >= 0.0f && value <= 100.0f);

        const float normalised = processor.parameters.getParameter (id)->getValue();
        VELDRANOX_FUZZ_REQUIRE (normalised >= 0.0f && normalised <= 1.0f);
    }
}

juce::MemoryBlock save (VeldranoxAudioProcessor& processor)
{
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    return state;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    startJuceForFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // Real states are a few hundred bytes; far larger inputs only slow the search down.
    if (size > 16384)
        return 0;

    VeldranoxAudioProcessor restored;
    restored.setStateInformation (data, static_cast<int> (size));
    requireUsableControls (restored);

    // A damaged blob may restore lossily (duplicate attributes, say), but from then on what is saved
    // must restore to the same values and save again byte for byte.
    const auto saved = save (restored);
    VeldranoxAudioProcessor reopened;
    reopened.setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
    requireUsableControls (reopened);

    const auto savedAgain = save (reopened);
    VeldranoxAudioProcessor reopenedAgain;
    reopenedAgain.setStateInformation (savedAgain.getData(), static_cast<int> (savedAgain.getSize()));

    for (const auto* id : ids)
        VELDRANOX_FUZZ_REQUIRE (rawValue (reopenedAgain, id) == rawValue (reopened, id));

    VELDRANOX_FUZZ_REQUIRE (save (reopenedAgain) == savedAgain);
    return 0;
}
